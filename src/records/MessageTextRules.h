#pragma once

// The limits of the message editor, kept apart from its widgets: what the name box keeps of what
// is typed into it, and whether OK may store the text. The text's limit is what one short
// message holds on the card (messageTextUsage), and the text box keeps of what is typed or
// pasted what fittingInsertion leaves, so nothing the editor takes is cut when it is composed.

#include <optional>
#include <string>

#include "records/CardState.h"

namespace velnor {

// The name box's edit part.
inline constexpr int kRecipientNameLimit = 20;

// What typing into the name box leaves: only a number may be typed there, its first character
// a digit or "+", every later one a digit. The number field follows the box, except that a
// refused first character leaves it as it was.
struct RecipientTyping {
    std::string nameBox;
    std::optional<std::string> number; // the number field's new text, if it changes
    bool cut = false;                  // the last typed character was refused
};
RecipientTyping recipientTyped(const std::string &typed);

// The check at OK: the text must fit one short message to the recipient.
bool messageTextTooLong(const std::string &recipient, const std::string &text,
                        const CardState &card);

// How much more of one message the text may use, in its coding's units (septets, octets or
// 16-bit units): negative when OK would refuse the text as it stands.
int messageCharactersLeft(const std::string &recipient, const std::string &text,
                          const CardState &card);

} // namespace velnor
