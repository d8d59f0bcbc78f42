#pragma once

#include <functional>
#include <string>

#include "widgets/CCheckListCtrl.h"

namespace velnor {

// Where a list keeps its column widths between runs: the value of its entry, as text (empty
// when there is none), and how to store a new one.
struct ColumnWidthStore {
    std::function<std::string()> read;
    std::function<void(const std::string &)> write;
};

// The list of the phonebooks: a check list that sorts its rows by a click on column 1's heading
// (numbers, dates and texts each compared in their own way, repeated clicks alternating the
// direction), numbers its rows again after any click on a heading, and keeps its column widths.
class CSortListCtrl : public CCheckListCtrl {
    Q_OBJECT

public:
    static constexpr int kSortColumn = 1;

    explicit CSortListCtrl(RowList &rows, QWidget *parent = nullptr);

    // Sets the columns from "title,width; title,width; ...". False when the text describes none.
    bool SetHeadings(const std::string &text);
    void Sort(int column, bool ascending);
    int sortedColumn() const { return checkHeader()->sortMarkColumn(); }
    bool sortedAscending() const { return checkHeader()->sortMarkAscending(); }

    // Gives the columns the widths kept in the store, when it holds a value for as many columns
    // as the list has, or for its fixed columns (RowList::setFixedColumns). The watcher is held
    // while the store is read.
    void RestoreColumnWidths(const ColumnWidthStore &store);
    void SaveColumnWidths(const ColumnWidthStore &store) const;

protected:
    void afterHeaderClick(int section) override;
};

} // namespace velnor
