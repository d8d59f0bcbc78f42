#include "base/Utf8.h"
#include "codec/CMyTools.h"
#include "codec/GsmAlphabet.h"

#include <algorithm>

namespace velnor {

bool CMyTools::IsDBString(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        // Plain ASCII letters, digits and punctuation are all in the default alphabet except
        // the backquote; the rest goes through the table.
        if (byte >= 0x20 && byte < 0x7F && byte != '`') {
            ++pos;
            continue;
        }
        if (!isGsmCodable(nextCodePoint(text, pos))) {
            return true;
        }
    }
    return false;
}

Bytes CMyTools::asc2gsm(std::string_view text) {
    Bytes septets;
    septets.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        const GsmCode code =
            byte < 0x80 ? unicodeToGsm(text[pos++]) : unicodeToGsm(nextCodePoint(text, pos));
        if (code.length == 0) {
            septets.push_back(kGsmQuestionMark);
        } else {
            if (code.length == 2) {
                septets.push_back(kGsmEscape);
            }
            septets.push_back(code.code);
        }
    }
    return septets;
}

std::string CMyTools::gsm2asc(const uint8_t *bytes, size_t count) {
    const size_t length = static_cast<size_t>(std::find(bytes, bytes + count, 0xFF) - bytes);
    std::string text;
    appendGsmText(bytes, length, text);
    return text;
}

size_t CountGsmExtensionChars(std::string_view text) {
    constexpr std::string_view kTwoSeptetChars = "^{}\\[~]|";
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [&](char c) {
        return kTwoSeptetChars.find(c) != std::string_view::npos;
    }));
}

} // namespace velnor
