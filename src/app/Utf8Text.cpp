#include "app/Utf8Text.h"

#include <cstdint>

namespace velnor::utf8 {

namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Code points of 0x80..0x9F in Windows-1252; 0 where the code page leaves a hole.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendCodePoint(std::string &out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

bool isValid(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t cp = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if (!isContinuation(c)) {
                return false;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string fromLegacyIfNeeded(std::string_view text) {
    if (isValid(text)) {
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
            appendCodePoint(out, cp != 0 ? cp : 0xFFFD);
        } else {
            appendCodePoint(out, byte);
        }
    }
    return out;
}

size_t countCharacters(std::string_view text) {
    size_t count = 0;
    for (const char c : text) {
        if (!isContinuation(static_cast<unsigned char>(c))) {
            ++count;
        }
    }
    return count;
}

std::string firstCharacters(std::string_view text, size_t n) {
    size_t at = 0;
    for (size_t count = 0; at < text.size() && count < n; ++count) {
        ++at;
        while (at < text.size() && isContinuation(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
    }
    return std::string(text.substr(0, at));
}

} // namespace velnor::utf8
