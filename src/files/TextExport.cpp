#include "files/TextExport.h"

#include "base/AtomicFile.h"
#include "base/TextIds.h"

namespace velnor {

std::string messageTextFileText(const MessageTextFields &fields) {
    std::string text = "\r\n\r\n";
    if (fields.outgoing) {
        text += "To: " + fields.recipientNumber + "\r\n";
    } else {
        text += "From: " + fields.senderNumber + "\r\n";
        text += "Time: " + fields.timeStamp + "\r\n";
    }
    text += "Content: " + fields.messageText + "\r\n";
    return text;
}

FileChoice messageTextChoice() {
    return {"txt", "*.txt", {{"Saved SMS Files (*.txt)", "*.txt"}}};
}

bool saveMessageText(UserPrompts &prompts, const Texts &texts, const MessageTextFields &fields) {
    const std::optional<std::string> path = prompts.chooseSaveFile(messageTextChoice());
    if (!path) {
        return false;
    }
    if (!writeFileAtomically(*path, messageTextFileText(fields))) {
        prompts.showMessage(
            MessageKind::Information,
            {text::FileNotCreated, texts.get(text::FileCaption), texts.get(text::FileNotCreated)});
        return false;
    }
    return true;
}

} // namespace velnor
