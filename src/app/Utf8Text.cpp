#include "app/Utf8Text.h"

#include "base/Utf8.h"

#include <cstdint>

namespace velnor::utf8 {

namespace {

// Code points of 0x80..0x9F in Windows-1252; 0 where the code page leaves a hole.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

std::string fromLegacyIfNeeded(std::string_view text) {
    if (isValidUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else if (byte < 0xA0) {
            const uint16_t cp = kWindows1252High[byte - 0x80];
            appendUtf8(out, cp != 0 ? cp : kReplacementChar);
        } else {
            appendUtf8(out, byte);
        }
    }
    return out;
}

} // namespace velnor::utf8
