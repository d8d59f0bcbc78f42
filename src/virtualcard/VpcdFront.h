#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "virtualcard/SimHost.h"

namespace velnor {

// The card side of the vpcd protocol of pcscd's virtual reader driver (vsmartcard). Every
// message is a 2-byte big-endian length and a payload. A 1-byte payload is a control code:
// 0 power off, 1 power on, 2 reset (none answered), 4 get the answer to reset (answered with
// it; an empty answer means no card). A longer payload is a command APDU, answered with the
// response APDU framed the same way. Holds no socket: bytes in, bytes out.
//
// vpcd has no way to say that a card gave no answer: it waits for one. So a card that falls
// silent (a failing quirk) is reported as gone: the session stops answering and the front
// closes the connection, which to vpcd is the card taken out.
class VpcdSession {
public:
    explicit VpcdSession(SimHost &card) : card_(card) {}

    // Takes bytes as they arrive, split anywhere, and returns the framed answers to send back.
    Bytes receive(std::span<const uint8_t> bytes);

    // The card fell silent: nothing more is answered on this connection.
    bool silent() const { return silent_; }
    // Command APDUs answered since the session began.
    unsigned commandCount() const { return commands_; }

private:
    // The answer payload to one message; nullopt for messages that get no answer.
    std::optional<Bytes> answer(std::span<const uint8_t> payload);
    // A card that pcscd powered off is powered on (a cold reset) before it is used again.
    void wakeUp();

    SimHost &card_;
    Bytes pending_; // the start of a message whose rest has not arrived yet
    bool poweredOff_ = false;
    bool silent_ = false;
    unsigned commands_ = 0;
};

// Where vpcd listens: the first reader on port 35963, the second on 35964.
struct VpcdEndpoint {
    std::string host = "127.0.0.1";
    uint16_t port = 35963;
};

// Keeps a card in vpcd's reader until stopped: connects, answers, and connects again whenever
// the connection drops (pcscd restarted) or cannot be made yet. Closing the connection is what
// pulling the card out is to vpcd, so stopping takes the card out.
class VpcdFront {
public:
    using Log = std::function<void(const std::string &)>;

    VpcdFront(SimHost &card, VpcdEndpoint endpoint, Log log = {});

    // Serves until stop(); false with a sentence in error when the address cannot be used.
    bool run(std::string &error);
    // Ends run() within a fraction of a second. Only sets a flag: safe in a signal handler.
    void stop() { stopping_ = true; }
    bool connected() const { return connected_; }

private:
    // Connects once; -1 when vpcd is not there (yet).
    int connectOnce(const void *address, unsigned addressLength);
    // Answers on one connection until it drops, the card falls silent or stop() is called;
    // gives the number of commands answered.
    unsigned serveConnection(int socket);
    void say(const std::string &line) const;

    SimHost &card_;
    VpcdEndpoint endpoint_;
    Log log_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> connected_{false};
};

} // namespace velnor
