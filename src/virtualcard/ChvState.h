#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velnor {

// A CHV or unblock code as the card holds it: 8 bytes, padded with 0xFF (GSM 11.11, 9.3).
using ChvCode = std::array<uint8_t, 8>;

// A code given as text; nothing beyond 8 bytes is kept.
ChvCode chvCodeFromText(std::string_view text);

// CHV1 and its unblock code with their attempt counters (GSM 11.11, 11.3); CHV2 is absent.
// Each operation answers the status word the card sends.
class ChvState {
public:
    struct Settings {
        bool initialised = false; // false: the card has no CHV1 at all
        bool enabled = true;
        ChvCode code{};
        uint8_t attemptsLeft = 3;
        uint8_t maxAttempts = 3;
        ChvCode unblockCode{};
        uint8_t unblockAttemptsLeft = 10;
        uint8_t unblockMaxAttempts = 10;

        bool operator==(const Settings &) const = default;
    };

    ChvState() = default;
    explicit ChvState(const Settings &settings) : settings_(settings) {}

    // What a profile keeps: everything but the verification since the last reset.
    const Settings &settings() const { return settings_; }

    uint16_t verify(const ChvCode &code);
    uint16_t change(const ChvCode &oldCode, const ChvCode &newCode);
    uint16_t disable(const ChvCode &code);
    uint16_t enable(const ChvCode &code);
    uint16_t unblock(const ChvCode &unblockCode, const ChvCode &newCode);

    // A reset forgets the verification.
    void reset() { verified_ = false; }
    bool verified() const { return verified_; }
    // An access condition of CHV1 is met: verified, disabled or no CHV1 at all.
    bool chv1Satisfied() const;
    bool enabled() const { return settings_.initialised && settings_.enabled; }

    // Status bytes of a directory's status response (GSM 11.11, 9.2.1): bit 7 set when the
    // code is initialised, the low nibble the attempts left.
    uint8_t chv1StatusByte() const;
    uint8_t unblockStatusByte() const;

private:
    // Checks a presented CHV1 and counts the attempt; Ok or the refusal.
    uint16_t presentChv1(const ChvCode &code);
    // The same, for an operation that needs CHV1 initialised, not blocked, and enabled (or
    // disabled, for enabling it); otherwise the status word that refuses it.
    uint16_t presentIn(bool requiredEnabledState, const ChvCode &code);

    Settings settings_;
    bool verified_ = false;
};

} // namespace velnor
