#include "records/MessageTextRules.h"

#include "base/Utf8.h"
#include "records/MessageCompose.h"

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

} // namespace

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

bool messageTextTooLong(const std::string &recipient, const std::string &text,
                        const CardState &card) {
    return !messageTextUsage(recipient, text, card).fits();
}

int messageCharactersLeft(const std::string &recipient, const std::string &text,
                          const CardState &card) {
    const SmsTextUsage usage = messageTextUsage(recipient, text, card);
    return static_cast<int>(usage.capacity) - static_cast<int>(usage.used);
}

} // namespace velnor
