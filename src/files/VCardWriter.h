#pragma once

// The phonebook as a vCard 3.0 file (RFC 2426): UTF-8, lines ending in CR LF and folded at 75
// bytes, one contact per run of rows with the same name, each with FN, N and a TEL per number.
// Rows with neither a name nor a number are left out.

#include <string>

#include "records/RowList.h"

namespace velnor {

// The list's rows are No., Name and Number.
std::string vCardText(const RowList &phonebook);

} // namespace velnor
