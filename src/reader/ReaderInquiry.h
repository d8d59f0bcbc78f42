#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/CUSBOpKrnl.h"

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

// Opens the reader, asks for its inquiry block and closes it again.
std::optional<ReaderInquiry> inquireReader(CUSBOpKrnl &driver, const std::string &devicePath);

} // namespace velnor
