#include "codec/GsmAddress.h"

#include "codec/GsmAlphabet.h"

#include <algorithm>

namespace velnor {

namespace {

constexpr uint8_t kMaxServiceCentreLength = 11; // type and ten octets of digits
constexpr uint8_t kMaxSemiOctets = 20;
constexpr size_t kMaxAddressOctets = 10;
constexpr size_t kMaxAlphanumericSeptets = kMaxAddressOctets * 8 / 7;

bool isAlphanumeric(uint8_t type) {
    return ((type >> 4) & 0x07) == 0x05;
}

// The BCD bytes of a number, cut to the ten octets an address holds.
Bytes addressDigits(std::string_view digits) {
    Bytes bcd = CMyTools::asc2bcd(digits);
    if (bcd.size() > kMaxAddressOctets) {
        bcd.resize(kMaxAddressOctets);
    }
    return bcd;
}

size_t semiOctetCount(const Bytes &bcd) {
    if (bcd.empty()) {
        return 0;
    }
    return 2 * bcd.size() - ((bcd.back() >> 4) == 0x0F ? 1 : 0);
}

void appendAlphanumeric(Bytes &out, uint8_t type, std::string_view text) {
    Bytes septets = CMyTools::asc2gsm(text);
    size_t kept = 0;
    while (kept < septets.size()) {
        const size_t width = septets[kept] == kGsmEscape ? 2 : 1;
        if (kept + width > kMaxAlphanumericSeptets) {
            break;
        }
        kept += width;
    }
    uint8_t packed[kMaxAddressOctets + 1];
    const size_t octets = packSeptets(septets.data(), kept, 0, packed);
    out.push_back(static_cast<uint8_t>((7 * kept + 3) / 4));
    out.push_back(type);
    out.insert(out.end(), packed, packed + octets);
}

} // namespace

bool readServiceCentreAddress(ByteCursor &cursor, uint8_t &type, std::string &digits) {
    uint8_t length = 0;
    if (!cursor.readByte(length)) {
        return false;
    }
    if (length == 0 || length == 0xFF) {
        return true;
    }
    if (length > kMaxServiceCentreLength || !cursor.readByte(type)) {
        return false;
    }
    const uint8_t *bcd = cursor.readBytes(length - 1u);
    if (bcd == nullptr) {
        return false;
    }
    digits = CMyTools::bcd2asc(bcd, length - 1u);
    return true;
}

void appendServiceCentreAddress(Bytes &out, uint8_t type, std::string_view digits) {
    const Bytes bcd = addressDigits(digits);
    if (bcd.empty()) {
        out.push_back(0);
        return;
    }
    out.push_back(static_cast<uint8_t>(bcd.size() + 1));
    out.push_back(type);
    out.insert(out.end(), bcd.begin(), bcd.end());
}

bool readTpAddress(ByteCursor &cursor, uint8_t &type, std::string &number) {
    uint8_t semiOctets = 0;
    if (!cursor.readByte(semiOctets) || semiOctets > kMaxSemiOctets || !cursor.readByte(type)) {
        return false;
    }
    const size_t octets = (semiOctets + 1u) / 2;
    const uint8_t *value = cursor.readBytes(octets);
    if (value == nullptr) {
        return false;
    }
    if (isAlphanumeric(type)) {
        appendPackedGsmText(value, 0, semiOctets * 4u / 7, number);
        return true;
    }
    // The length counts the digits, so an odd one leaves the last high nibble to the filler,
    // whatever value the sender gave it.
    uint8_t digits[(kMaxSemiOctets + 1) / 2];
    std::copy_n(value, octets, digits);
    if (semiOctets % 2 != 0) {
        digits[octets - 1] |= 0xF0;
    }
    number = CMyTools::bcd2asc(digits, octets);
    return true;
}

void appendTpAddress(Bytes &out, uint8_t type, std::string_view number) {
    if (isAlphanumeric(type)) {
        appendAlphanumeric(out, type, number);
        return;
    }
    const Bytes bcd = addressDigits(number);
    out.push_back(static_cast<uint8_t>(semiOctetCount(bcd)));
    out.push_back(type);
    out.insert(out.end(), bcd.begin(), bcd.end());
}

} // namespace velnor
