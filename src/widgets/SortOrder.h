#pragma once

// The order a sortable list puts its rows in when sorted by one column. Each comparison decides
// how to compare from the first of its two texts: as numbers when it is empty or all digits, as
// dates when it reads dd/mm/yyyy, otherwise as texts in the user's locale, case-sensitive.

#include <cstddef>
#include <string_view>
#include <vector>

#include "records/RowList.h"

namespace velnor {

enum class CellKind { Number, Date, Text };

CellKind cellKind(std::string_view text);

// order[i] is the index of the row that goes to position i (the form RowList::permute takes).
// Rows that compare equal keep their order.
std::vector<size_t> sortOrder(const RowList &list, size_t column, bool ascending);

} // namespace velnor
