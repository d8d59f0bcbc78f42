#include "card/EfIccid.h"

#include <algorithm>

namespace velnor {

namespace {

constexpr size_t kMaxBytes = 32; // the identity holds at most 64 digits

} // namespace

EfIccid::Value EfIccid::decode(std::span<const uint8_t> bytes) {
    return CMyTools::bcd2asc(bytes.data(), std::min(bytes.size(), kMaxBytes));
}

Bytes EfIccid::encode(const Value &digits, size_t length) {
    Bytes bytes = CMyTools::asc2bcd(digits.value_or(std::string()));
    bytes.resize(length, 0xFF);
    return bytes;
}

const std::vector<FileVector<EfIccid::Value>> &EfIccid::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        // osmocom pySim, pySim/ts_51_011.py, EF_ICCID
        {"988812010000400310F0", "8988211000000430010"},
        // the demo card's ICCID
        {"98103254769810325476", "89012345678901234567"},
    };
    return vectors;
}

} // namespace velnor
