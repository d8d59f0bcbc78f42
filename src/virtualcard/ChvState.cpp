#include "virtualcard/ChvState.h"

#include "virtualcard/StatusWords.h"

namespace velnor {

ChvCode chvCodeFromText(std::string_view text) {
    ChvCode code;
    code.fill(0xFF);
    for (size_t i = 0; i < code.size() && i < text.size(); ++i) {
        code[i] = static_cast<uint8_t>(text[i]);
    }
    return code;
}

uint16_t ChvState::presentChv1(const ChvCode &code) {
    if (settings_.attemptsLeft == 0) {
        return sw::ChvBlocked;
    }
    if (code != settings_.code) {
        --settings_.attemptsLeft;
        verified_ = false;
        return settings_.attemptsLeft == 0 ? sw::ChvBlocked : sw::AccessDenied;
    }
    settings_.attemptsLeft = settings_.maxAttempts;
    verified_ = true;
    return sw::Ok;
}

uint16_t ChvState::presentIn(bool requiredEnabledState, const ChvCode &code) {
    if (!settings_.initialised) {
        return sw::NoChvInitialised;
    }
    if (settings_.attemptsLeft == 0) {
        return sw::ChvBlocked;
    }
    if (settings_.enabled != requiredEnabledState) {
        return sw::ChvStatusContradiction;
    }
    return presentChv1(code);
}

uint16_t ChvState::verify(const ChvCode &code) {
    return presentIn(true, code);
}

uint16_t ChvState::change(const ChvCode &oldCode, const ChvCode &newCode) {
    const uint16_t status = presentIn(true, oldCode);
    if (status == sw::Ok) {
        settings_.code = newCode;
    }
    return status;
}

uint16_t ChvState::disable(const ChvCode &code) {
    const uint16_t status = presentIn(true, code);
    if (status == sw::Ok) {
        settings_.enabled = false;
    }
    return status;
}

uint16_t ChvState::enable(const ChvCode &code) {
    const uint16_t status = presentIn(false, code);
    if (status == sw::Ok) {
        settings_.enabled = true;
    }
    return status;
}

uint16_t ChvState::unblock(const ChvCode &unblockCode, const ChvCode &newCode) {
    if (!settings_.initialised) {
        return sw::NoChvInitialised;
    }
    if (settings_.unblockAttemptsLeft == 0) {
        return sw::ChvBlocked;
    }
    if (unblockCode != settings_.unblockCode) {
        --settings_.unblockAttemptsLeft;
        return settings_.unblockAttemptsLeft == 0 ? sw::ChvBlocked : sw::AccessDenied;
    }
    // A successful unblocking stores the new code, restores both counters and leaves CHV1
    // enabled and verified.
    settings_.unblockAttemptsLeft = settings_.unblockMaxAttempts;
    settings_.attemptsLeft = settings_.maxAttempts;
    settings_.code = newCode;
    settings_.enabled = true;
    verified_ = true;
    return sw::Ok;
}

bool ChvState::chv1Satisfied() const {
    return !enabled() || verified_;
}

uint8_t ChvState::chv1StatusByte() const {
    if (!settings_.initialised) {
        return 0x00;
    }
    return static_cast<uint8_t>(0x80 | (settings_.attemptsLeft & 0x0F));
}

uint8_t ChvState::unblockStatusByte() const {
    if (!settings_.initialised) {
        return 0x00;
    }
    return static_cast<uint8_t>(0x80 | (settings_.unblockAttemptsLeft & 0x0F));
}

} // namespace velnor
