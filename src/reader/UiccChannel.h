#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// The class 00 commands of a UICC (TS 102 221, 10 and 11) on one open handle, through the
// driver's TransmitApdu: a response announced with 61xx is fetched with GET RESPONSE, and a
// command refused with 6Cxx is sent again with the length the card named.
class UiccChannel {
public:
    using Bytes = std::vector<uint8_t>;
    struct Answer {
        Bytes data;
        uint16_t statusWord = 0;
        // 91xx and 92xx end a command as 9000 does, with news of a proactive command or of a
        // data transfer for the terminal (TS 102 221, 10.2.1.1), which Velnor leaves alone.
        bool ok() const {
            return statusWord == 0x9000 || (statusWord >> 8) == 0x91 || (statusWord >> 8) == 0x92;
        }
    };

    UiccChannel(CUSBOpKrnl &driver, int handle) : driver_(driver), handle_(handle) {}

    // One command, CLA INS P1 P2 [Lc data] [Le]; nullopt when the card did not answer.
    std::optional<Answer> send(const Bytes &command);

    // SELECT returning the FCP template (P2 04); nullopt when refused or unanswered. A path
    // runs from the master file (P1 08; 3F00 alone is selected by its identifier).
    std::optional<Bytes> selectPath(std::span<const uint16_t> path);
    std::optional<Bytes> selectAid(const Bytes &aid);

    // Records of the current file, or of the one an SFI (1 to 30) names; binaries of the current
    // file.
    std::optional<Bytes> readRecord(uint8_t number, uint8_t length, uint8_t sfi = 0);
    bool updateRecord(uint8_t number, const Bytes &record, uint8_t sfi = 0);
    std::optional<Bytes> readBinary(uint16_t offset, uint8_t length);
    bool updateBinary(uint16_t offset, const Bytes &data);

    // A PIN command of TS 102 221, 11.1.9 to 11.1.13 (VERIFY 20, CHANGE 24, DISABLE 26,
    // ENABLE 28, UNBLOCK 2C) for a key reference, the codes padded to 8 bytes with FF. Nonzero
    // when the card took it; status receives the refusal as the byte of a GSM 11.11 98xx answer
    // (9.4.5), so the PIN dialogs read a UICC as they read a SIM.
    int pinCommand(uint8_t instruction, uint8_t reference, const std::vector<std::string> &codes,
                   uint8_t &status);
    // The attempts left of a key reference from VERIFY or UNBLOCK without data (63Cx), -1 when
    // the card does not say.
    int attemptsLeft(uint8_t instruction, uint8_t reference);

    // Why the last command failed, empty when it did not.
    const std::string &error() const { return error_; }

private:
    // One command and its repeat after 6Cxx.
    std::optional<Answer> transmit(const Bytes &command);
    std::optional<Answer> checked(const Bytes &command, const std::string &what);

    CUSBOpKrnl &driver_;
    int handle_;
    std::string error_;
};

} // namespace velnor
