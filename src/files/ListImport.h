#pragma once

// Reading a list file back into a list: the fields of the whole file in groups of the list's
// column count, the first group (the header) skipped, each other group a new ticked row after
// the existing ones. Every imported name or message text is checked against the card's limits.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "codec/CodePages.h"
#include "records/CardState.h"
#include "records/MessageStore.h"
#include "records/RowList.h"

namespace velnor {

// The rows of the last import that the card cannot keep as they are, a name or message text too
// long for it or a number with a "+" after its first character or more than 20 digits: their
// No. values, each followed by a comma ("3,7,"). The flag is cleared by whoever reports it.
// When the file's code page was a guess, its name, so that the user can be told.
struct ImportReport {
    std::string overLengthRows;
    bool overLengthFound = false;
    std::string guessedCodePage;
};

// Files larger than this are refused: no phonebook or message list comes near it, and reading
// it would only exhaust the memory.
inline constexpr uintmax_t kMaxListFileSize = uintmax_t{256} << 20;

// The most heap an import may need, per byte of the file, but never less than the floor. A file
// whose rows would need more is refused before a row is made: every three commas make a row of
// three string objects, a hundred bytes of heap.
inline constexpr size_t kImportHeapPerFileByte = 6;
inline constexpr size_t kImportHeapFloor = size_t{64} << 20;

enum class ImportResult {
    Done,
    NoRows,   // the file is not empty, yet no row came of it
    TooLarge, // the rows would need more memory than the rule above allows
};

// Appends the file's entries to a phonebook list (No., Name, Number), or its messages to the
// message list with a record image composed from each number and text. The file is read in the
// code page given, or in the one its bytes show (base/LegacyText.h). A file that cannot be opened
// is reported (text::FileNotOpened, caption text::FileCaption) and gives false; one that cannot be
// read, false without a word; one too large, text::FileTooLarge and false; one not empty that gives
// no row, text::NoRowsImported and false. Nothing is added when the result is false. An empty file
// adds nothing and gives true.
bool ImportListFile(const std::string &path, RowList &phonebook, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts,
                    const CodePage *codePage = nullptr);
bool ImportListFile(const std::string &path, MessageList &messages, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts,
                    const CodePage *codePage = nullptr);

// The same for a file's bytes already in memory.
ImportResult importListText(std::string_view bytes, RowList &phonebook, const CardState &card,
                            ImportReport &report, const CodePage *codePage = nullptr);
ImportResult importListText(std::string_view bytes, MessageList &messages, const CardState &card,
                            ImportReport &report, const CodePage *codePage = nullptr);

} // namespace velnor
