#pragma once

// The phonebook as an RFC 4180 CSV file: a header line "Name,Number" (then "E-mail",
// "Additional Number" and "Nickname" up to the last of them that some row fills), then a record
// for every row with a text, every line ending in CR LF.

#include <string>

#include "records/RowList.h"

namespace velnor {

// The list's columns are those of records/MessageStore.h.
std::string csvText(const RowList &phonebook);

} // namespace velnor
