#pragma once

// New and edited messages on the message tab: the editor runs over the chosen message, and its
// OK becomes a row and a record image together.

#include <functional>
#include <optional>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "records/MessageEdit.h"
#include "transfer/Session.h"
#include "ui/CMessageEditDlg.h"

namespace velnor {

// Shows the editor and says whether it ended with OK. The window runs it modally; tests drive
// the dialog's controls instead.
using MessageEditorRun = std::function<bool(CMessageEditDlg &)>;

bool runEditorModally(CMessageEditDlg &dialog);

struct MessageCommandContext {
    Session &session;
    const Texts &texts;
    UserPrompts &prompts;
    QWidget *owner = nullptr;
    MessageEditorRun run = runEditorModally;
};

// A new message (command 1701 on the message tab): the editor in the compose layout with empty
// fields; OK appends the message. Returns the row of the new message.
std::optional<size_t> composeNewMessage(const MessageCommandContext &context);

// Opens the editor at start (the selected message: a double click, command 1703). OK replaces
// a message not yet sent, unless it was forwarded; any other message stays and the result is
// appended. Returns the row that holds the result; nullopt with no selection or on Cancel.
std::optional<size_t> editSelectedMessage(const MessageCommandContext &context,
                                          std::optional<MessageEditStart> start);

} // namespace velnor
