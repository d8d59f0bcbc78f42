#pragma once

// Reading a list file back into a list: the fields of the whole file in groups of the file's
// column count (a message file's is the list's; a phonebook file's is what its header names, from
// the three classic columns up to the list's), the first group (the header) skipped, each other
// group a new ticked row after the existing ones. A phonebook also reads vCard and CSV files, told
// by their content (files/ContactFile.h): a contact's first two numbers the number and the
// additional number of a row, each further number a row. Every imported name, number or message
// text is checked against the card's limits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "codec/CodePages.h"
#include "files/CsvReader.h"
#include "records/CardState.h"
#include "records/MessageStore.h"
#include "records/RowList.h"

namespace velnor {

// The rows of the last import that the card cannot keep as they are, a name or message text too
// long for it or a number with a "+" after its first character or more than 20 digits: their
// No. values, each followed by a comma ("3,7,"). The flag is cleared by whoever reports it.
// When the file's code page was a guess, its name, so that the user can be told. The contacts of
// a vCard or CSV file that have no number, and so made no row: their names, each in quotation
// marks, separated by ", ". The columns of a CSV file whose header names no name and number.
struct ImportReport {
    std::string overLengthRows;
    bool overLengthFound = false;
    std::string guessedCodePage;
    std::string contactsWithoutNumber;
    std::vector<std::string> columnsFound;
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
    NoRows,         // the file is not empty, yet no row came of it
    TooLarge,       // the rows would need more memory than the rule above allows
    UnknownColumns, // a CSV file whose columns are none that hold names and numbers
};

// Appends the file's entries to a phonebook list (the columns of records/MessageStore.h), or its
// messages to the message list with a record image composed from each number and text. The file is
// read in the code page given, or in the one its bytes show (base/LegacyText.h). A file that cannot
// be opened is reported (text::FileNotOpened, caption text::FileCaption) and gives false; one that
// cannot be read, false without a word; one too large, text::FileTooLarge and false; one not empty
// that gives no row, text::NoRowsImported and false; a CSV file whose header names no known
// columns, text::CsvColumnsUnknown with the columns found, and false. Nothing is added when the
// result is false. An empty file adds nothing and gives true. `columns` takes a CSV file's name and
// number from the columns a user chose.
bool ImportListFile(const std::string &path, RowList &phonebook, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts,
                    const CodePage *codePage = nullptr,
                    const std::optional<CsvColumnChoice> &columns = std::nullopt);
bool ImportListFile(const std::string &path, MessageList &messages, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts,
                    const CodePage *codePage = nullptr);

// The same for a file's bytes already in memory.
ImportResult importListText(std::string_view bytes, RowList &phonebook, const CardState &card,
                            ImportReport &report, const CodePage *codePage = nullptr,
                            const std::optional<CsvColumnChoice> &columns = std::nullopt);
ImportResult importListText(std::string_view bytes, MessageList &messages, const CardState &card,
                            ImportReport &report, const CodePage *codePage = nullptr);

} // namespace velnor
