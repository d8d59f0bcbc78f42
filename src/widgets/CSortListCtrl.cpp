#include "widgets/CSortListCtrl.h"

#include "widgets/ListHeadings.h"
#include "widgets/SortOrder.h"

namespace velnor {

CSortListCtrl::CSortListCtrl(RowList &rows, QWidget *parent) : CCheckListCtrl(rows, parent) {}

bool CSortListCtrl::SetHeadings(const std::string &text) {
    const std::vector<Heading> headings = parseHeadings(text);
    if (headings.empty()) {
        return false;
    }
    std::vector<std::string> titles;
    for (const Heading &heading : headings) {
        titles.push_back(heading.title);
    }
    rows().setTitles(std::move(titles));
    for (size_t column = 0; column < headings.size(); ++column) {
        setWantedWidth(static_cast<int>(column), headings[column].width);
    }
    fitColumns();
    return true;
}

void CSortListCtrl::Sort(int column, bool ascending) {
    checkHeader()->setSortMark(column, ascending);
    if (column < 0 || static_cast<size_t>(column) >= rows().columnCount()) {
        return;
    }
    rows().permute(sortOrder(rows(), static_cast<size_t>(column), ascending));
}

void CSortListCtrl::afterHeaderClick(int section) {
    if (section == kSortColumn) {
        Sort(kSortColumn, !(sortedColumn() == kSortColumn && sortedAscending()));
    }
    rows().renumberFrom(0);
}

void CSortListCtrl::RestoreColumnWidths(const ColumnWidthStore &store) {
    if (worker() != nullptr) {
        worker()->pause();
    }
    const std::string value = store.read ? store.read() : std::string();
    std::optional<std::vector<int>> widths =
        parseColumnWidths(value, static_cast<size_t>(horizontalHeader()->count()));
    if (!widths) {
        // A value kept before the list had optional columns gives the columns before them.
        widths = parseColumnWidths(value, rows().fixedColumns());
    }
    if (widths) {
        for (size_t column = 0; column < widths->size(); ++column) {
            setWantedWidth(static_cast<int>(column), (*widths)[column]);
        }
        fitColumns();
    }
    if (worker() != nullptr) {
        worker()->resume();
    }
    wait(timing() != nullptr ? timing()->restoreWidthsAfter : 0);
}

void CSortListCtrl::SaveColumnWidths(const ColumnWidthStore &store) const {
    if (!store.write) {
        return;
    }
    std::vector<int> widths;
    for (int column = 0; column < horizontalHeader()->count(); ++column) {
        widths.push_back(wantedWidth(column));
    }
    store.write(columnWidthsText(widths));
}

} // namespace velnor
