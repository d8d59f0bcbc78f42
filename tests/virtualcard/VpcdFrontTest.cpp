#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "SimTestSupport.h"
#include "virtualcard/VpcdFront.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

// A vpcd message: 2-byte length, then the payload. The exchanges of a session are in vpcd.json.
Bytes frame(Bytes payload) {
    payload.insert(payload.begin(), {static_cast<uint8_t>(payload.size() >> 8),
                                     static_cast<uint8_t>(payload.size())});
    return payload;
}

const Bytes kGetAtr = frame({4});

std::shared_ptr<SimHost> protectedCard(const CardQuirks &quirks = {}) {
    CardProfile profile = smallProfile();
    profile.quirks = quirks;
    return SimHost::inMemory(std::move(profile));
}

TEST(VpcdSessionTest, MessagesSplitAnywhereGiveTheSameAnswers) {
    Bytes stream = kGetAtr;
    for (const Bytes &message :
         {frame(selectCommand(0x3F00)), frame(apdu(0xC0, 0, 0, 0x16)), frame({1})}) {
        stream.insert(stream.end(), message.begin(), message.end());
    }
    auto whole = protectedCard();
    const Bytes expected = VpcdSession(*whole).receive(stream);
    ASSERT_EQ(expected.size(), 2u + 22u + 4u + (2u + 0x16 + 2u)); // ATR, 9F16, status, 9000
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        auto card = protectedCard();
        VpcdSession session(*card);
        Bytes out = session.receive(std::span(stream).first(cut));
        const Bytes rest = session.receive(std::span(stream).subspan(cut));
        out.insert(out.end(), rest.begin(), rest.end());
        EXPECT_EQ(out, expected) << "cut at " << cut;
    }
}

// A listening socket on a free loopback port: vpcd's side of the connection.
class FakeVpcd {
public:
    FakeVpcd() {
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
        client_ = readable(listener_) ? ::accept(listener_, nullptr, nullptr) : -1;
        return client_ >= 0;
    }
    void hangUp() {
        if (client_ >= 0) {
            close(client_);
            client_ = -1;
        }
    }
    // Sends a message and reads the answer: its whole frame, or what came before a hang-up.
    Bytes ask(const Bytes &message) {
        send(client_, message.data(), message.size(), MSG_NOSIGNAL);
        Bytes answer;
        uint8_t buffer[512];
        while (readable(client_)) {
            const ssize_t n = recv(client_, buffer, sizeof buffer, 0);
            answer.insert(answer.end(), buffer, buffer + std::max<ssize_t>(n, 0));
            if (n <= 0 ||
                (answer.size() >= 2 && answer.size() == 2u + (answer[0] << 8 | answer[1]))) {
                break;
            }
        }
        return answer;
    }
    // True when the card side closed the connection within a second.
    bool closed() {
        uint8_t byte = 0;
        return readable(client_) && recv(client_, &byte, 1, 0) == 0;
    }

    uint16_t port = 0;

private:
    static bool readable(int socket) {
        pollfd waiting{socket, POLLIN, 0};
        return poll(&waiting, 1, 1000) == 1;
    }

    int listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int client_ = -1;
};

class VpcdFrontTest : public ::testing::Test {
protected:
    void serve(const CardQuirks &quirks = {}) {
        card = protectedCard(quirks);
        front = std::make_unique<VpcdFront>(*card, VpcdEndpoint{"127.0.0.1", vpcd.port});
        running = std::async(std::launch::async, [this] {
            std::string error;
            return front->run(error);
        });
        ASSERT_TRUE(vpcd.accept());
    }
    void TearDown() override {
        const auto before = std::chrono::steady_clock::now();
        front->stop();
        EXPECT_TRUE(vpcd.closed()) << "stopping takes the card out";
        ASSERT_EQ(running.wait_for(2s), std::future_status::ready);
        EXPECT_TRUE(running.get());
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    }

    FakeVpcd vpcd;
    std::shared_ptr<SimHost> card;
    std::unique_ptr<VpcdFront> front;
    std::future<bool> running;
};

TEST_F(VpcdFrontTest, AnswersAndComesBackAfterVpcdWentAway) {
    serve();
    EXPECT_EQ(vpcd.ask(frame(selectCommand(0x3F00))), frame({0x9F, 0x16}));
    EXPECT_TRUE(front->connected());
    vpcd.hangUp(); // pcscd restarted
    ASSERT_TRUE(vpcd.accept()) << "the card connects again";
    EXPECT_EQ(vpcd.ask(kGetAtr).size(), 2u + 22u);
}

TEST_F(VpcdFrontTest, SilentCardIsTakenOutAndPutBack) {
    serve({.failAtCommand = 1});
    EXPECT_EQ(vpcd.ask(frame(selectCommand(0x3F00))), Bytes());
    EXPECT_TRUE(vpcd.closed());
    ASSERT_TRUE(vpcd.accept());
    EXPECT_EQ(vpcd.ask(frame(selectCommand(0x3F00))), frame({0x9F, 0x16}));
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
