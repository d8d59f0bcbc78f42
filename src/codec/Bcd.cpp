#include "codec/CMyTools.h"

namespace velnor {

namespace {

constexpr uint8_t kFiller = 0xF;
constexpr char kNibbleChars[] = "0123456789*#pwe";

// GSM 11.11, 10.5.1 with table 12 of GSM 04.08: the digits, "*", "#", and the DTMF control
// digits pause, wild and expansion.
int nibbleOf(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    switch (c) {
    case '*':
        return 0xA;
    case '#':
        return 0xB;
    case 'p':
    case 'P':
        return 0xC;
    case 'w':
    case 'W':
        return 0xD;
    case 'e':
    case 'E':
        return 0xE;
    default:
        return -1;
    }
}

} // namespace

Bytes CMyTools::asc2bcd(std::string_view digits) {
    Bytes out;
    out.reserve((digits.size() + 1) / 2);
    bool lowNibble = true;
    for (const char c : digits) {
        const int nibble = nibbleOf(c);
        if (nibble < 0) {
            continue;
        }
        if (lowNibble) {
            out.push_back(static_cast<uint8_t>(kFiller << 4 | nibble));
        } else {
            out.back() = static_cast<uint8_t>((out.back() & 0x0F) | nibble << 4);
        }
        lowNibble = !lowNibble;
    }
    return out;
}

std::string CMyTools::bcd2asc(const uint8_t *bytes, size_t count) {
    std::string digits;
    digits.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        for (const int nibble : {bytes[i] & 0x0F, bytes[i] >> 4}) {
            if (nibble != kFiller) {
                digits.push_back(kNibbleChars[nibble]);
            }
        }
    }
    return digits;
}

} // namespace velnor
