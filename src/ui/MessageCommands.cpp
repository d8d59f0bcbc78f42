#include "ui/MessageCommands.h"

#include "records/MessageEdit.h"

namespace velnor {

bool runEditorModally(CMessageEditDlg &dialog) {
    return dialog.exec() == QDialog::Accepted;
}

std::optional<size_t> composeNewMessage(const MessageCommandContext &context) {
    MessageEditorFields fields;
    fields.messageEditable = true;
    fields.messageIsOutgoing = true;
    Session &session = context.session;
    CMessageEditDlg dialog(context.texts, context.prompts, session.card, session.localPhonebook,
                           fields, context.owner);
    if (!context.run(dialog)) {
        return std::nullopt;
    }
    return appendComposedMessage(session.messages, dialog.fields().recipientNumber,
                                 dialog.fields().messageText, session.card, context.texts);
}

std::optional<size_t> editSelectedMessage(const MessageCommandContext &context,
                                          std::optional<MessageEditStart> start) {
    Session &session = context.session;
    if (!start) {
        return std::nullopt;
    }
    MessageEditorFields fields;
    fields.messageEditable = start->editable;
    fields.messageIsOutgoing = start->outgoing;
    fields.senderNumber = start->number;
    fields.recipientNumber = start->number;
    fields.timeStamp = start->time;
    fields.messageText = start->text;
    CMessageEditDlg dialog(context.texts, context.prompts, session.card, session.localPhonebook,
                           fields, context.owner);
    if (!context.run(dialog)) {
        return std::nullopt;
    }
    // A forwarded message is a new one, whatever it came from.
    start->editable = dialog.fields().messageEditable;
    return finishMessageEdit(session.messages, *start, dialog.fields().recipientNumber,
                             dialog.fields().messageText, session.card, context.texts);
}

} // namespace velnor
