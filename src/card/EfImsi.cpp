#include "card/EfImsi.h"

namespace velnor {

namespace {

constexpr uint8_t kImsiType = 0x01; // GSM 04.08, 10.5.1.4: type of identity IMSI
constexpr uint8_t kOddCount = 0x08;

} // namespace

EfImsi::Value EfImsi::decode(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2) {
        return std::nullopt;
    }
    // Byte 1 counts the bytes that follow (FF when unused).
    const uint8_t length = bytes[0];
    if (length == 0 || length >= bytes.size()) {
        return std::nullopt;
    }
    const uint8_t first = static_cast<uint8_t>((bytes[1] & 0xF0) | 0x0F);
    const std::string digits =
        CMyTools::bcd2asc(&first, 1) + CMyTools::bcd2asc(bytes.data() + 2, length - 1u);
    if (digits.empty()) {
        return std::nullopt;
    }
    return digits;
}

Bytes EfImsi::encode(const Value &digits, size_t length) {
    Bytes bytes;
    if (digits && !digits->empty()) {
        const bool odd = digits->size() % 2 == 1;
        const Bytes rest = CMyTools::asc2bcd(std::string_view(*digits).substr(1));
        const Bytes first = CMyTools::asc2bcd(digits->substr(0, 1));
        bytes.push_back(static_cast<uint8_t>(rest.size() + 1));
        bytes.push_back(
            static_cast<uint8_t>((first[0] & 0x0F) << 4 | (odd ? kOddCount : 0) | kImsiType));
        bytes.insert(bytes.end(), rest.begin(), rest.end());
    }
    bytes.resize(length, 0xFF);
    return bytes;
}

const std::vector<FileVector<EfImsi::Value>> &EfImsi::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        // osmocom pySim, pySim/ts_51_011.py, EF_IMSI
        {"082982608200002080", "228062800000208"},
        {"082926101160845740", "262011106487504"},
        // the demo card's IMSI of the test network; an unused file
        {"080910101032547698", "001010123456789"},
        {"FFFFFFFFFFFFFFFFFF", std::nullopt},
    };
    return vectors;
}

} // namespace velnor
