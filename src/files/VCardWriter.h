#pragma once

// The phonebook as a vCard 3.0 file (RFC 2426): UTF-8, lines ending in CR LF and folded at 75
// bytes, one contact per row with FN, N, NICKNAME from the second name, a TEL for the number and
// one for the additional number, and EMAIL. Rows after one with an additional number that hold
// only a number under the same name add their numbers to its contact, as an import made them
// of its further numbers. Rows with no text are left out.

#include <string>

#include "records/RowList.h"

namespace velnor {

// The list's columns are those of records/MessageStore.h.
std::string vCardText(const RowList &phonebook);

} // namespace velnor
