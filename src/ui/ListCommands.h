#pragma once

// The window's open and save commands for lists: the file dialogs, the overwrite question, the
// report of rows too long for the card, and the watcher held while a file is in use.

#include <functional>
#include <optional>
#include <string>
#include <vector>

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
    // Asks which of a CSV file's columns hold the name and the number; nullopt when cancelled.
    std::function<std::optional<CsvColumnChoice>(const std::vector<std::string> &)> chooseColumns =
        {};
};

// True when the path can be opened for reading.
bool FileExists(const std::string &path);

FileChoice openListChoice(ListTab tab);
FileChoice saveListChoice(ListTab tab);
FileChoice contactFileChoice();

// The lists a file can go into.
struct ListTargets {
    RowList &localPhonebook;
    MessageList &messages;
    const CardState &card;
};

// Imports a file into the tab's list: the phonebook's in any contact format, told by its content,
// a CSV file with unrecognised columns read again from the columns the user chooses; the
// messages' as a list file. A code page that had to be guessed is named
// (text::CodePageGuessed), rows too long for the card are reported
// (text::EntriesChangedWhenWritten or text::MessagesChangedWhenWritten), and so are contacts
// without a number (text::ContactsWithoutNumber). Returns true when rows were imported.
bool importFile(ListCommandContext &context, ListTab tab, const std::string &path,
                const CodePage *codePage, ListTargets targets, ImportReport &report);

// Command 5100: asks for a file and its code page, and imports it into the tab's list.
bool openListCommand(ListCommandContext &context, ListTab tab, ListTargets targets,
                     ImportReport &report);

// Asks for a vCard, CSV or list file and imports its contacts into the local phonebook.
bool importContactsCommand(ListCommandContext &context, ListTargets targets, ImportReport &report);

// Asks for a file name and writes the local phonebook in the format its extension names.
bool exportContactsCommand(ListCommandContext &context, const RowList &localPhonebook);

// Command 5101: asks for a file name and saves the tab's list there, after asking before an
// existing file is replaced (text::ReplaceFileQuestion). Returns true when the file was written.
bool saveListCommand(ListCommandContext &context, ListTab tab, const RowList &localPhonebook,
                     const MessageList &messages);

} // namespace velnor
