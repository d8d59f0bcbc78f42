#include "ui/MessageTextRules.h"

#include <algorithm>

#include "base/Utf8.h"
#include "codec/CMyTools.h"

namespace velnor {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without its last character, never cutting inside one.
std::string withoutLastCharacter(const std::string &text) {
    const size_t count = countCharacters(text);
    return count == 0 ? std::string() : firstCharacters(text, count - 1);
}

int septets(const std::string &text) {
    return static_cast<int>(countCharacters(text) + CountGsmExtensionChars(text));
}

} // namespace

int openingTextLimit(const std::string &text) {
    return kMessageTypingLimit - static_cast<int>(CountGsmExtensionChars(text));
}

int typingTextLimit(const std::string &text) {
    return CMyTools::IsDBString(text) ? kDoubleByteTypingLimit : kMessageTypingLimit;
}

int boxLength(const std::string &text) {
    return static_cast<int>(CMyTools::gsmEncodeUcs2(text).size() / 2);
}

RecipientTyping recipientTyped(const std::string &typed) {
    RecipientTyping result;
    const std::string text = firstCharacters(typed, kRecipientNameLimit);
    const size_t count = countCharacters(text);
    if (count == 0) {
        result.number = std::string();
        return result;
    }
    if (count == 1) {
        if (isDigit(text[0]) || text[0] == '+') {
            result.nameBox = text;
            result.number = text;
        } else {
            result.cut = true;
        }
        return result;
    }
    if (isDigit(text.back())) {
        result.nameBox = text;
        result.number = text;
        return result;
    }
    result.nameBox = withoutLastCharacter(text);
    result.number = result.nameBox;
    result.cut = true;
    return result;
}

int recipientRoom(const std::string &recipient) {
    return static_cast<int>((legacyByteLength(recipient) + 1) / 2);
}

bool messageTextTooLong(const std::string &recipient, const std::string &text,
                        uint32_t maxMessageLength) {
    const int limit = static_cast<int>(maxMessageLength);
    if (boxLength(text) > kMessageTypingLimit) {
        return true;
    }
    if (CMyTools::IsDBString(text)) {
        return boxLength(text) > (limit - recipientRoom(recipient)) / 2 - 1;
    }
    return septets(text) > limit;
}

int messageCharactersLeft(const std::string &recipient, const std::string &text,
                          uint32_t maxMessageLength, int boxLimit) {
    const int limit = static_cast<int>(maxMessageLength);
    const int typed = boxLength(text);
    const int okLeft = CMyTools::IsDBString(text)
                           ? (limit - recipientRoom(recipient)) / 2 - 1 - typed
                           : limit - septets(text);
    return std::min({boxLimit - typed, kMessageTypingLimit - typed, okLeft});
}

} // namespace velnor
