#pragma once

#include <cstdint>
#include <string>

#include "base/CardLink.h"

namespace velnor {

// Card-wide values that opening and reading the card leave behind for writing and composing.
// They live for the whole run and are not saved.
struct CardState : CardLink {
    uint32_t alphaLength = 0;         // phonebook record length minus 14
    uint32_t messageRecordLength = 0; // of the message file last read; 0 before any read
    uint8_t smscTypeOfAddress = 0x91;
    std::string smscNumber;
    bool ucs82Unsupported = false; // the card did not keep a name in the 0x82 coding
    // The card has answered whether it keeps that coding: the first write with a name in it
    // asks, the next read forgets. Until then names are checked as if it did.
    bool ucs82Probed = false;
};

} // namespace velnor
