#pragma once

// The list file: the one text format of phonebook files (.fpb), message files (.fsm), CSV files
// and the backups. A header line of column titles each followed by a comma, then one line per
// row with every cell as quotation mark, text, quotation mark, comma; every line ends in CR LF.
// A list's optional columns are written up to the last one some row fills (RowList::columnsInUse),
// so a phonebook without them keeps its three columns.

#include <string>

#include "base/AtomicFile.h"
#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "records/RowList.h"

namespace velnor {

// The bytes of a list file for the list.
std::string listFileText(const RowList &list);

// Writes the list to path. The file that was there stays intact until the new one is complete.
// On failure the user is told (text::FileNotCreated, caption text::FileCaption) and the result is
// false.
// Tells the user that a file could not be written (text::FileNotCreated).
void sayFileNotCreated(UserPrompts &prompts, const Texts &texts);

bool SaveListFile(const std::string &path, const RowList &list, UserPrompts &prompts,
                  const Texts &texts, Durability durability = Durability::Synced);

} // namespace velnor
