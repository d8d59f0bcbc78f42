#pragma once

// Saving the message open in the editor as a small text file: two empty lines, then the number
// (and for a received message its time), then the text, every line ended by CR LF.

#include <string>

#include "base/Texts.h"
#include "base/UserPrompts.h"

namespace velnor {

// The editor's texts as of their last exchange with its controls.
struct MessageTextFields {
    bool outgoing = false; // sent, not yet sent or new: "To:"; received: "From:" and "Time:"
    std::string senderNumber;
    std::string recipientNumber;
    std::string timeStamp;
    std::string messageText;
};

// The bytes of the file, with no limit on their length.
std::string messageTextFileText(const MessageTextFields &fields);

FileChoice messageTextChoice();

// Command 2203 of the message editor: asks for a file name and writes the message there,
// replacing a file of that name without asking. A file that cannot be created is reported
// (text::FileNotCreated, caption text::FileCaption) and leaves any old file as it was. Returns true
// when the file was written.
bool saveMessageText(UserPrompts &prompts, const Texts &texts, const MessageTextFields &fields);

} // namespace velnor
