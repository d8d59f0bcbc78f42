#pragma once

// The window's open and save commands for lists: the file dialogs, the overwrite question, the
// report of rows too long for the card, and the watcher held while a file is in use.

#include <string>

#include "base/Texts.h"
#include "base/Timing.h"
#include "base/UserPrompts.h"
#include "base/WorkerPause.h"
#include "files/ListImport.h"
#include "records/CardState.h"
#include "records/MessageStore.h"
#include "records/RowList.h"

namespace velnor {

// Which tab of the window a command works on: the phonebook tab's files hold the local
// phonebook list, the message tab's the message list.
enum class ListTab { Phonebook, Messages };

struct ListCommandContext {
    UserPrompts &prompts;
    const Texts &texts;
    WorkerPause &worker;
    const Timing &timing;
    // The code page the open dialog offers first, and the one last chosen there ("" for
    // detection).
    std::string codePage = {};
};

// True when the path can be opened for reading.
bool FileExists(const std::string &path);

FileChoice openListChoice(ListTab tab);
FileChoice saveListChoice(ListTab tab);

// Command 5100: asks for a file and its code page, and imports it into the tab's list. A code
// page that had to be guessed is named (text::CodePageGuessed), and rows too long for the card are
// reported (text::EntriesChangedWhenWritten or text::MessagesChangedWhenWritten). Returns true when
// rows were imported.
bool openListCommand(ListCommandContext &context, ListTab tab, RowList &localPhonebook,
                     MessageList &messages, const CardState &card, ImportReport &report);

// Command 5101: asks for a file name and saves the tab's list there, after asking before an
// existing file is replaced (text::ReplaceFileQuestion). Returns true when the file was written.
bool saveListCommand(ListCommandContext &context, ListTab tab, const RowList &localPhonebook,
                     const MessageList &messages);

} // namespace velnor
