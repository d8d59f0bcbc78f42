#include "base/Utf8.h"
#include "codec/CMyTools.h"

namespace velnor {

namespace {

void appendUnit(Bytes &out, uint16_t unit) {
    out.push_back(static_cast<uint8_t>(unit >> 8));
    out.push_back(static_cast<uint8_t>(unit & 0xFF));
}

bool isHighSurrogate(uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

Bytes CMyTools::gsmEncodeUcs2(std::string_view text) {
    Bytes out;
    out.reserve(text.size() * 2);
    size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = nextCodePoint(text, pos);
        if (cp >= 0x10000) {
            const char32_t offset = cp - 0x10000;
            appendUnit(out, static_cast<uint16_t>(0xD800 | (offset >> 10)));
            appendUnit(out, static_cast<uint16_t>(0xDC00 | (offset & 0x3FF)));
        } else {
            appendUnit(out, static_cast<uint16_t>(cp));
        }
    }
    return out;
}

std::string CMyTools::gsmDecodeUcs2(const uint8_t *bytes, size_t count) {
    // Each unit gives at most three bytes of UTF-8 (a surrogate pair four for its two units).
    const size_t units = count / 2;
    std::string text(units * 3, '\0');
    char *out = text.data();
    for (size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        if (unit == 0) {
            break;
        }
        char32_t cp = unit;
        if (isHighSurrogate(unit) && i + 1 < units) {
            const auto low = static_cast<uint16_t>(bytes[2 * i + 2] << 8 | bytes[2 * i + 3]);
            if (isLowSurrogate(low)) {
                cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        // A lone surrogate becomes U+FFFD inside writeUtf8.
        out += writeUtf8(out, cp);
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return text;
}

std::string ucs2Storable(std::string_view text) {
    std::string stored;
    stored.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = nextCodePoint(text, pos);
        appendUtf8(stored, cp == 0 || cp == 0xFFFF || cp > 0xFFFF ? kReplacementChar : cp);
    }
    return stored;
}

} // namespace velnor
