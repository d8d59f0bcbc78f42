#include "virtualcard/VpcdFront.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace velnor {

namespace {

constexpr uint8_t PowerOff = 0;
constexpr uint8_t PowerOn = 1;
constexpr uint8_t Reset = 2;
constexpr uint8_t GetAtr = 4;

constexpr int PollMs = 100;         // how often a wait looks at the stop flag
constexpr int RetryMs = 200;        // between two attempts to reach vpcd
constexpr int ConnectWaitMs = 1000; // for one connection attempt

void appendFrame(Bytes &out, const Bytes &payload) {
    out.push_back(static_cast<uint8_t>(payload.size() >> 8));
    out.push_back(static_cast<uint8_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
}

// Without these every exchange waits for delayed acknowledgements: about 48 ms a command
// instead of a fraction of one. Linux forgets TCP_QUICKACK, so it is set before every receive.
void setNoDelay(int socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void setQuickAck(int socket) {
    const int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

bool sendAll(int socket, const Bytes &bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EAGAIN) {
            pollfd writable{socket, POLLOUT, 0};
            if (poll(&writable, 1, ConnectWaitMs) != 1) {
                return false;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

struct AddressList {
    addrinfo *first = nullptr;
    ~AddressList() {
        if (first != nullptr) {
            freeaddrinfo(first);
        }
    }
};

} // namespace

void VpcdSession::wakeUp() {
    if (poweredOff_) {
        poweredOff_ = false;
        card_.powerOn();
    }
}

std::optional<Bytes> VpcdSession::answer(std::span<const uint8_t> payload) {
    if (payload.size() == 1) {
        switch (payload[0]) {
        case PowerOff:
            poweredOff_ = true;
            return std::nullopt;
        case PowerOn:
        case Reset:
            poweredOff_ = false;
            card_.powerOn();
            return std::nullopt;
        case GetAtr: {
            wakeUp();
            return card_.answerToReset().value_or(Bytes());
        }
        default:
            return std::nullopt; // a control code this card does not know
        }
    }
    if (payload.empty()) {
        return std::nullopt;
    }
    wakeUp();
    std::optional<Bytes> response = card_.transmit(payload);
    if (!response) {
        silent_ = true;
        return std::nullopt;
    }
    ++commands_;
    return response;
}

Bytes VpcdSession::receive(std::span<const uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    Bytes out;
    size_t start = 0;
    while (!silent_ && pending_.size() - start >= 2) {
        const size_t length = static_cast<size_t>(pending_[start] << 8 | pending_[start + 1]);
        if (pending_.size() - start - 2 < length) {
            break;
        }
        const std::span<const uint8_t> payload(pending_.data() + start + 2, length);
        if (const std::optional<Bytes> reply = answer(payload)) {
            appendFrame(out, *reply);
        }
        start += 2 + length;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(start));
    return out;
}

VpcdFront::VpcdFront(SimHost &card, VpcdEndpoint endpoint, Log log)
    : card_(card), endpoint_(std::move(endpoint)), log_(std::move(log)) {}

void VpcdFront::say(const std::string &line) const {
    if (log_) {
        log_(line);
    }
}

int VpcdFront::connectOnce(const void *address, unsigned addressLength) {
    const auto *target = static_cast<const sockaddr *>(address);
    const int s = socket(target->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) {
        return -1;
    }
    if (connect(s, target, addressLength) != 0 && errno != EINPROGRESS) {
        close(s);
        return -1;
    }
    pollfd waiting{s, POLLOUT, 0};
    int error = 0;
    socklen_t errorLength = sizeof error;
    if (poll(&waiting, 1, ConnectWaitMs) != 1 ||
        getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &errorLength) != 0 || error != 0) {
        close(s);
        return -1;
    }
    setNoDelay(s);
    return s;
}

unsigned VpcdFront::serveConnection(int s) {
    VpcdSession session(card_);
    uint8_t buffer[4096];
    while (!stopping_) {
        pollfd readable{s, POLLIN, 0};
        const int ready = poll(&readable, 1, PollMs);
        if (ready < 0 && errno != EINTR) {
            return session.commandCount();
        }
        if (ready <= 0) {
            continue;
        }
        setQuickAck(s);
        const ssize_t n = recv(s, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return session.commandCount(); // vpcd went away
        }
        const Bytes reply =
            session.receive(std::span<const uint8_t>(buffer, static_cast<size_t>(n)));
        if ((!reply.empty() && !sendAll(s, reply)) || session.silent()) {
            return session.commandCount();
        }
    }
    return session.commandCount();
}

bool VpcdFront::run(std::string &error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    AddressList addresses;
    const std::string port = std::to_string(endpoint_.port);
    if (const int failed =
            getaddrinfo(endpoint_.host.c_str(), port.c_str(), &hints, &addresses.first)) {
        error = "Cannot use the address " + endpoint_.host + ": " + gai_strerror(failed) + ".";
        return false;
    }
    const std::string where = endpoint_.host + ":" + port;
    bool waitingSaid = false;
    while (!stopping_) {
        int s = -1;
        for (addrinfo *a = addresses.first; a != nullptr && s < 0; a = a->ai_next) {
            s = connectOnce(a->ai_addr, a->ai_addrlen);
        }
        if (s < 0) {
            if (!waitingSaid) {
                say("Waiting for vpcd at " + where + ".");
                waitingSaid = true;
            }
            for (int waited = 0; waited < RetryMs && !stopping_; waited += PollMs) {
                poll(nullptr, 0, PollMs);
            }
            continue;
        }
        connected_ = true;
        say("The card is in the reader of vpcd at " + where + ".");
        const unsigned commands = serveConnection(s);
        close(s);
        connected_ = false;
        waitingSaid = false;
        say(std::string(stopping_ ? "The card is out of the reader"
                                  : "The connection to vpcd ended") +
            " after " + std::to_string(commands) + " commands.");
    }
    return true;
}

} // namespace velnor
