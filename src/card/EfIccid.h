#pragma once

// EF ICCID (GSM 11.11, 10.1.1): the card's identification number, BCD digits swapped in each
// byte, an odd count ending in F.

#include <span>

#include "card/CardFile.h"
#include "codec/CMyTools.h"

namespace velnor {

struct EfIccid {
    static constexpr std::array<uint16_t, 2> path{df::Master, 0x2FE2};
    static constexpr uint16_t id = path.back();
    static constexpr size_t size = 10;
    static constexpr size_t tail = 0;
    static constexpr std::array<uint8_t, 0> paddings{};
    using Value = std::optional<std::string>;

    // The digits of up to 32 bytes (a longer file is read as far as that).
    static Value decode(std::span<const uint8_t> bytes);
    static Bytes encode(const Value &digits, size_t length = size);
    static const std::vector<FileVector<Value>> &vectors();
};

} // namespace velnor
