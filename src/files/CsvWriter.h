#pragma once

// The phonebook as an RFC 4180 CSV file: a header line "Name,Number", then a record for every
// row with a name or a number, every line ending in CR LF.

#include <string>

#include "records/RowList.h"

namespace velnor {

// The list's rows are No., Name and Number.
std::string csvText(const RowList &phonebook);

} // namespace velnor
