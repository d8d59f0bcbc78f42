#pragma once

// EF IMSI (GSM 11.11, 10.3.2): a length byte, then the digits as a mobile identity (GSM 04.08,
// 10.5.1.4): the first in the high nibble beside the parity and type bits, then two a byte, low
// nibble first, an even count ending in F.

#include <span>

#include "card/CardFile.h"
#include "codec/CMyTools.h"

namespace velnor {

struct EfImsi {
    static constexpr std::array<uint16_t, 3> path{df::Master, df::Gsm, 0x6F07};
    static constexpr uint16_t id = path.back();
    static constexpr size_t size = 9;
    static constexpr size_t tail = 0;
    static constexpr std::array<uint8_t, 0> paddings{};
    using Value = std::optional<std::string>;

    // nullopt when the length byte says nothing is stored or more than the bytes hold.
    static Value decode(std::span<const uint8_t> bytes);
    static Bytes encode(const Value &digits, size_t length = size);
    static const std::vector<FileVector<Value>> &vectors();
};

} // namespace velnor
