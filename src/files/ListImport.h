#pragma once

// Reading a list file back into a list: the fields of the whole file in groups of the list's
// column count, the first group (the header) skipped, each other group a new ticked row after
// the existing ones. Every imported name or message text is checked against the card's limits.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "sim/CardState.h"
#include "sim/MessageStore.h"
#include "sim/RowList.h"

namespace velnor {

// The rows of the last import that the card cannot keep as they are, a name or message text too
// long for it or a number with a "+" after its first character or more than 20 digits: their
// No. values, each followed by a comma ("3,7,"). The flag is cleared by whoever reports it.
struct ImportReport {
    std::string overLengthRows;
    bool overLengthFound = false;
};

// Files larger than this are refused: no phonebook or message list comes near it, and reading
// it would only exhaust the memory.
inline constexpr uintmax_t kMaxListFileSize = uintmax_t{256} << 20;

// Appends the file's entries to a phonebook list (No., Name, Number), or its messages to the
// message list with a record image composed from each number and text. A file that cannot be
// opened is reported (8054, caption 8053) and gives false; one that cannot be read, false
// without a word; one too large, 9004 and false. Fewer than two rows of fields add nothing.
bool ImportListFile(const std::string &path, RowList &phonebook, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts);
bool ImportListFile(const std::string &path, MessageList &messages, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts);

// The same for a file's bytes already in memory, in any supported encoding.
void importListText(std::string_view bytes, RowList &phonebook, const CardState &card,
                    ImportReport &report);
void importListText(std::string_view bytes, MessageList &messages, const CardState &card,
                    ImportReport &report);

} // namespace velnor
