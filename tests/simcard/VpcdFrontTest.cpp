#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "SimTestSupport.h"
#include "simcard/VpcdFront.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

Bytes frame(const Bytes &payload) {
    Bytes out{static_cast<uint8_t>(payload.size() >> 8), static_cast<uint8_t>(payload.size())};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

const Bytes kPowerOff = frame({0});
const Bytes kPowerOn = frame({1});
const Bytes kReset = frame({2});
const Bytes kGetAtr = frame({4});

std::shared_ptr<SimHost> protectedCard(const CardQuirks &quirks = {}) {
    ProfileResult loaded = parseCardProfile(R"({
        "atr": "3B021480",
        "chv1": {"enabled": true, "code": "1234", "unblockCode": "12345678"},
        "files": [{"path": "3F00/7F10/6F3A", "recordLength": 20, "recordCount": 2,
                   "records": ["41"]}]})");
    EXPECT_TRUE(loaded.profile) << loaded.error;
    loaded.profile->quirks = quirks;
    return SimHost::inMemory(std::move(*loaded.profile));
}

Bytes readRecordOne() {
    return apdu(0xB2, 1, 4, 20);
}

// The status word at the end of the one framed answer in `out`.
uint16_t statusOf(const Bytes &out) {
    EXPECT_GE(out.size(), 4u);
    EXPECT_EQ(static_cast<size_t>(out[0] << 8 | out[1]), out.size() - 2) << "one whole frame";
    return static_cast<uint16_t>(out[out.size() - 2] << 8 | out.back());
}

TEST(VpcdSessionTest, AnswerToResetIsTheCardsOrEmptyWithoutACard) {
    auto card = protectedCard();
    VpcdSession session(*card);
    EXPECT_EQ(session.receive(kGetAtr), frame({0x3B, 0x02, 0x14, 0x80}));
    auto pulled = protectedCard({.pulled = true});
    VpcdSession empty(*pulled);
    EXPECT_EQ(empty.receive(kGetAtr), frame({}));
}

TEST(VpcdSessionTest, ControlCodesOtherThanTheAnswerToResetGetNoAnswer) {
    auto card = protectedCard();
    VpcdSession session(*card);
    for (const Bytes &message :
         {kPowerOff, kPowerOn, kReset, frame({3}), frame({0xFF}), frame({})}) {
        EXPECT_TRUE(session.receive(message).empty());
    }
    EXPECT_EQ(session.commandCount(), 0u);
}

TEST(VpcdSessionTest, MessagesSplitAnywhereGiveTheSameAnswers) {
    const Bytes stream = concat(concat(kGetAtr, frame(selectCommand(0x3F00))),
                                concat(frame(apdu(0xC0, 0, 0, 0x16)), kPowerOn));
    auto whole = protectedCard();
    const Bytes expected = VpcdSession(*whole).receive(stream);
    ASSERT_EQ(expected.size(), 6u + 4u + (2u + 0x16 + 2u)); // ATR, 9F16, the status and 9000
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        auto card = protectedCard();
        VpcdSession session(*card);
        Bytes out = session.receive(std::span(stream).first(cut));
        const Bytes rest = session.receive(std::span(stream).subspan(cut));
        out.insert(out.end(), rest.begin(), rest.end());
        EXPECT_EQ(out, expected) << "cut at " << cut;
    }
    auto card = protectedCard();
    VpcdSession oneByOne(*card);
    Bytes out;
    for (uint8_t byte : stream) {
        const Bytes part = oneByOne.receive(std::span(&byte, 1));
        out.insert(out.end(), part.begin(), part.end());
    }
    EXPECT_EQ(out, expected);
}

// pcscd powers the card down and up (or resets it) between its users: the verification goes.
TEST(VpcdSessionTest, ResetAndPowerCycleForgetTheVerification) {
    for (const Bytes &restart : {kReset, concat(kPowerOff, kPowerOn), concat(kPowerOff, kGetAtr)}) {
        auto card = protectedCard();
        VpcdSession session(*card);
        EXPECT_EQ(statusOf(session.receive(frame(apdu(0x20, 0, 1, 8, code8("1234"))))), 0x9000);
        session.receive(frame(selectCommand(0x7F10)));
        session.receive(frame(selectCommand(0x6F3A)));
        EXPECT_EQ(statusOf(session.receive(frame(readRecordOne()))), 0x9000);
        session.receive(restart);
        session.receive(frame(selectCommand(0x7F10)));
        session.receive(frame(selectCommand(0x6F3A)));
        EXPECT_EQ(statusOf(session.receive(frame(readRecordOne()))), 0x9804);
    }
}

TEST(VpcdSessionTest, SilentCardEndsTheConversation) {
    auto card = protectedCard({.failAtCommand = 2});
    VpcdSession session(*card);
    const Bytes out = session.receive(
        concat(concat(frame(selectCommand(0x3F00)), frame(selectCommand(0x3F00))), kGetAtr));
    EXPECT_EQ(out, frame({0x9F, 0x16})) << "the answer before the silence, nothing after";
    EXPECT_TRUE(session.silent());
    EXPECT_TRUE(session.receive(kGetAtr).empty());
}

// A listening socket on a free loopback port: vpcd's side of the connection.
class FakeVpcd {
public:
    FakeVpcd() {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        EXPECT_EQ(listen(listener_, 4), 0);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~FakeVpcd() {
        hangUp();
        close(listener_);
    }
    bool accept() {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 5000) != 1) {
            return false;
        }
        client_ = ::accept(listener_, nullptr, nullptr);
        return client_ >= 0;
    }
    void hangUp() {
        if (client_ >= 0) {
            close(client_);
            client_ = -1;
        }
    }
    // Sends a message and reads one framed answer; nullopt when the card side hung up.
    std::optional<Bytes> ask(const Bytes &message) {
        if (send(client_, message.data(), message.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(message.size())) {
            return std::nullopt;
        }
        Bytes header = take(2);
        if (header.size() != 2) {
            return std::nullopt;
        }
        return take(static_cast<size_t>(header[0] << 8 | header[1]));
    }
    // True when the card side closed the connection within the time given.
    bool closedWithin(int ms) {
        pollfd readable{client_, POLLIN, 0};
        uint8_t byte = 0;
        return poll(&readable, 1, ms) == 1 && recv(client_, &byte, 1, 0) == 0;
    }

    uint16_t port = 0;

private:
    Bytes take(size_t count) {
        Bytes bytes(count);
        size_t got = 0;
        while (got < count) {
            pollfd readable{client_, POLLIN, 0};
            if (poll(&readable, 1, 5000) != 1) {
                break;
            }
            const ssize_t n = recv(client_, bytes.data() + got, count - got, 0);
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }

    int listener_ = -1;
    int client_ = -1;
};

class VpcdFrontTest : public ::testing::Test {
protected:
    void serve(SimHost &card) {
        front = std::make_unique<VpcdFront>(card, VpcdEndpoint{"127.0.0.1", vpcd.port});
        running = std::async(std::launch::async, [this] {
            std::string error;
            return front->run(error);
        });
    }
    void TearDown() override {
        if (front) {
            const auto before = std::chrono::steady_clock::now();
            front->stop();
            EXPECT_EQ(running.wait_for(2s), std::future_status::ready);
            EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
        }
    }

    FakeVpcd vpcd;
    std::unique_ptr<VpcdFront> front;
    std::future<bool> running;
};

TEST_F(VpcdFrontTest, AnswersAndComesBackAfterVpcdWentAway) {
    auto card = protectedCard();
    serve(*card);
    ASSERT_TRUE(vpcd.accept());
    EXPECT_EQ(vpcd.ask(kGetAtr), (Bytes{0x3B, 0x02, 0x14, 0x80}));
    EXPECT_EQ(vpcd.ask(frame(selectCommand(0x3F00))), (Bytes{0x9F, 0x16}));
    EXPECT_TRUE(front->connected());
    vpcd.hangUp(); // pcscd restarted
    ASSERT_TRUE(vpcd.accept()) << "the card connects again";
    EXPECT_EQ(vpcd.ask(kGetAtr), (Bytes{0x3B, 0x02, 0x14, 0x80}));
}

TEST_F(VpcdFrontTest, StoppingTakesTheCardOut) {
    auto card = protectedCard();
    serve(*card);
    ASSERT_TRUE(vpcd.accept());
    front->stop();
    EXPECT_TRUE(vpcd.closedWithin(1000));
    EXPECT_EQ(running.wait_for(2s), std::future_status::ready);
    EXPECT_TRUE(running.get());
    front.reset();
}

TEST_F(VpcdFrontTest, SilentCardIsTakenOutAndPutBack) {
    auto card = protectedCard({.failAtCommand = 1});
    serve(*card);
    ASSERT_TRUE(vpcd.accept());
    EXPECT_EQ(vpcd.ask(frame(selectCommand(0x3F00))), std::nullopt);
    EXPECT_TRUE(vpcd.closedWithin(1000));
    ASSERT_TRUE(vpcd.accept());
    EXPECT_EQ(vpcd.ask(frame(selectCommand(0x3F00))), (Bytes{0x9F, 0x16}));
}

TEST(VpcdFrontAddress, UnknownHostIsAnError) {
    auto card = protectedCard();
    VpcdFront front(*card, {"no-such-host.invalid", 35963});
    std::string error;
    EXPECT_FALSE(front.run(error));
    EXPECT_NE(error.find("no-such-host.invalid"), std::string::npos);
}

} // namespace
} // namespace velnor::test
