#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reader/CUSBOpKrnl.h"
#include "reader/CardHandle.h"
#include "virtualcard/ProfileJson.h"

namespace velnor {

// What a reader says of itself in its inquiry block.
struct ReaderInquiry {
    uint8_t versionByte = 0;
    uint16_t versionValue = 0;
    std::vector<std::string> functions; // four-character names
    std::optional<uint8_t> simFunction; // index of the function named exactly "SIM "
    bool cdmaCapable() const { return versionByte == 0xB0 && versionValue == 0x0208; }
};

// Reads an inquiry block: byte 0 version, bytes 1-2 version value, byte 4 function count, then
// four-character names. Names the block does not hold in full are left out.
std::optional<ReaderInquiry> parseInquiry(const std::vector<uint8_t> &block);

// The reader an operation uses, as the driver finds it (the named one, else the search), and
// what it says of itself; or why there is none to use.
struct ReaderChoice {
    enum class Fault {
        None,
        NoReader,      // none found; the driver's lastError says why when it knows
        NoProfile,     // a virtual card whose profile gave no card: `why`, `profileFault`
        CannotOpen,    // found, but it cannot be opened
        NoSimFunction, // it opens, but gives no inquiry block
    };
    Fault fault = Fault::None;
    std::string path;      // the reader found, empty for NoReader
    ReaderInquiry inquiry; // for Fault::None
    std::string why;
    ProfileFault profileFault = ProfileFault::Unreadable;
    // The connection the inquiry was asked on, for Fault::None. While the choice (or a copy)
    // lives, the steps of the operation on this thread run on it.
    std::shared_ptr<CardConnection> connection;
};

// Finds the reader, connects and asks it for its inquiry block. The card profile of a virtual card
// is put in its reader now, for the whole operation.
ReaderChoice chooseReader(CUSBOpKrnl &driver);

} // namespace velnor
