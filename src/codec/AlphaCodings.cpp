// GSM 11.11, Annex B: the 0x81 and 0x82 codings of alpha identifiers. Each character is one
// byte: a default-alphabet code (bit 7 clear) or an offset from a base (bit 7 set).

#include "base/Utf8.h"
#include "codec/CMyTools.h"
#include "codec/GsmAlphabet.h"

#include <algorithm>

namespace velnor {

namespace {

constexpr uint8_t kUcs2Coding = 0x80;
constexpr uint8_t kOneByteBaseCoding = 0x81;
constexpr uint8_t kTwoByteBaseCoding = 0x82;
constexpr char32_t kWindowSize = 0x80;
// The 0x82 base is the lowest character, so the highest may lie at most 0x7E above it: one at
// 0x7F would be the byte 0xFF, which readers that trim the filler after a name would drop.
constexpr char32_t kTwoByteBaseWindow = 0x7F;
constexpr char32_t kHighestOneByteBase = 0x7F80;
constexpr size_t kMaxCharacters = 0xFF;

// A character as the alpha codings see it: a default-alphabet code, or a code point that must
// lie within the base window.
struct AlphaChar {
    char32_t cp;
    bool isDefaultAlphabet;
    uint8_t gsmCode;
};

struct AlphaText {
    std::vector<AlphaChar> chars;
    char32_t lowest = 0x10FFFF; // of the characters outside the default alphabet
    char32_t highest = 0;
    bool hasOthers = false;
};

AlphaText analyse(std::string_view text) {
    AlphaText result;
    result.chars.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = nextCodePoint(text, pos);
        const GsmCode code = unicodeToGsm(cp);
        const bool inDefault = code.length == 1;
        result.chars.push_back({cp, inDefault, code.code});
        if (!inDefault) {
            result.hasOthers = true;
            result.lowest = std::min(result.lowest, cp);
            result.highest = std::max(result.highest, cp);
        }
    }
    return result;
}

bool fitsWindow(const AlphaText &text, char32_t base, char32_t window) {
    return !text.hasOthers || (text.lowest >= base && text.highest < base + window);
}

void appendChars(const AlphaText &text, char32_t base, Bytes &body) {
    for (const AlphaChar &c : text.chars) {
        body.push_back(c.isDefaultAlphabet ? c.gsmCode
                                           : static_cast<uint8_t>(0x80 | (c.cp - base)));
    }
}

// The base of the 0x82 coding: the lowest character outside the default alphabet.
std::optional<char32_t> twoByteBase(const AlphaText &text) {
    if (text.chars.size() > kMaxCharacters) {
        return std::nullopt;
    }
    const char32_t base = text.hasOthers ? text.lowest : 0;
    if (base > 0xFFFF || !fitsWindow(text, base, kTwoByteBaseWindow) || text.highest > 0xFFFF) {
        return std::nullopt;
    }
    return base;
}

void appendDecoded(const uint8_t *chars, size_t count, char32_t base, std::string &text) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = chars[i];
        if (byte & 0x80) {
            appendUtf8(text, base + (byte & 0x7F));
        } else {
            appendGsmText(&byte, 1, text);
        }
    }
}

} // namespace

Bytes CMyTools::String2Ucs81(std::string_view text, uint8_t &codingByte) {
    const AlphaText analysed = analyse(text);
    const char32_t base = analysed.hasOthers ? (analysed.lowest & ~(kWindowSize - 1)) : 0;
    if (analysed.chars.size() > kMaxCharacters || base > kHighestOneByteBase ||
        !fitsWindow(analysed, base, kWindowSize)) {
        codingByte = twoByteBase(analysed) ? kTwoByteBaseCoding : kUcs2Coding;
        return {};
    }
    codingByte = kOneByteBaseCoding;
    Bytes body;
    body.reserve(2 + analysed.chars.size());
    body.push_back(static_cast<uint8_t>(analysed.chars.size()));
    body.push_back(static_cast<uint8_t>(base >> 7));
    appendChars(analysed, base, body);
    return body;
}

Bytes CMyTools::String2Ucs82(std::string_view text) {
    const AlphaText analysed = analyse(text);
    const std::optional<char32_t> base = twoByteBase(analysed);
    if (!base) {
        return {};
    }
    Bytes body;
    body.reserve(3 + analysed.chars.size());
    body.push_back(static_cast<uint8_t>(analysed.chars.size()));
    body.push_back(static_cast<uint8_t>(*base >> 8));
    body.push_back(static_cast<uint8_t>(*base & 0xFF));
    appendChars(analysed, *base, body);
    return body;
}

std::string CMyTools::UCS2ToGB81(const uint8_t *body, size_t count) {
    std::string text;
    if (count < 2) {
        return text;
    }
    const char32_t base = char32_t{body[1]} << 7;
    appendDecoded(body + 2, std::min<size_t>(body[0], count - 2), base, text);
    return text;
}

std::string CMyTools::UCS2ToGB82(const uint8_t *body, size_t count) {
    std::string text;
    if (count < 3) {
        return text;
    }
    const char32_t base = char32_t{body[1]} << 8 | body[2];
    appendDecoded(body + 3, std::min<size_t>(body[0], count - 3), base, text);
    return text;
}

} // namespace velnor
