#pragma once

// The limits of the message editor, kept apart from its widgets: what the text box takes while
// typing, what the name box keeps of what is typed into it, and whether OK may store the text.
// Lengths of double-byte texts are UTF-16 units, as a phone counts a UCS2 message.

#include <cstdint>
#include <optional>
#include <string>

namespace velnor {

// The text box never takes more while typing; the data exchange keeps messages to it too.
inline constexpr int kMessageTypingLimit = 160;
// The box's limit once the text holds a double-byte character.
inline constexpr int kDoubleByteTypingLimit = 74;
// The name box's edit part.
inline constexpr int kRecipientNameLimit = 20;

// The box's limit when the editor opens: every two-septet character of the text takes one
// character of room.
int openingTextLimit(const std::string &text);
// The box's limit after the text changed.
int typingTextLimit(const std::string &text);

// Characters as the box counts them: UTF-16 units.
int boxLength(const std::string &text);

// What typing into the name box leaves: only a number may be typed there, its first character
// a digit or "+", every later one a digit. The number field follows the box, except that a
// refused first character leaves it as it was.
struct RecipientTyping {
    std::string nameBox;
    std::optional<std::string> number; // the number field's new text, if it changes
    bool cut = false;                  // the last typed character was refused
};
RecipientTyping recipientTyped(const std::string &typed);

// The room a recipient takes in the record: its length halved, rounded up.
int recipientRoom(const std::string &recipient);

// The check at OK: a double-byte text may have at most (maxMessageLength - room) / 2 - 1
// UTF-16 units; any other text at most maxMessageLength septets, two-septet characters counted
// twice.
bool messageTextTooLong(const std::string &recipient, const std::string &text,
                        uint32_t maxMessageLength);

// How many more characters may be typed before the box refuses them or OK would: negative when
// OK would refuse the text as it stands.
int messageCharactersLeft(const std::string &recipient, const std::string &text,
                          uint32_t maxMessageLength, int boxLimit);

} // namespace velnor
