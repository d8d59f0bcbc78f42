#pragma once

#include <string>
#include <vector>

#include "records/RowList.h"

namespace velnor::test {

// The cells of one column of a list, top to bottom.
inline std::vector<std::string> column(const RowList &list, size_t c) {
    std::vector<std::string> cells;
    for (size_t row = 0; row < list.rowCount(); ++row) {
        cells.push_back(list.cell(row, c));
    }
    return cells;
}

} // namespace velnor::test
