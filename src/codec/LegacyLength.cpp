#include "codec/CMyTools.h"
#include "codec/GsmAlphabet.h"
#include "base/Utf8.h"

namespace velnor {

namespace {

// The width of a character in the double-byte code pages the list files come from.
size_t legacyWidth(char32_t cp) {
    return isGsmCodable(cp) ? 1 : 2;
}

} // namespace

size_t legacyByteLength(std::string_view text) {
    size_t length = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        length += legacyWidth(nextCodePoint(text, pos));
    }
    return length;
}

std::string cutToLegacyBytes(std::string_view text, size_t n) {
    size_t length = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t next = pos;
        length += legacyWidth(nextCodePoint(text, next));
        if (length > n) {
            break;
        }
        pos = next;
    }
    return std::string(text.substr(0, pos));
}

} // namespace velnor
