#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace velnor {

// The rows of one list: cells as UTF-8 texts, a check state and a selection state per row, and
// the column titles. It is the only home of the rows; views show it and never copy rows.
class RowList {
public:
    // Told of every change, so that a view can follow. Fine-grained calls come in pairs around
    // the change; a batch ends with one reset instead.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void aboutToInsert(size_t first, size_t count) = 0;
        virtual void inserted() = 0;
        virtual void aboutToRemove(size_t first, size_t count) = 0;
        virtual void removed() = 0;
        virtual void changed(size_t first, size_t last) = 0;
        virtual void aboutToReset() = 0;
        virtual void reset() = 0;
        virtual void titlesChanged() = 0;
    };

    // Holds back fine-grained notifications while many rows change; the observer gets one reset.
    class Batch {
    public:
        explicit Batch(RowList &list);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        RowList &list_;
    };

    explicit RowList(std::vector<std::string> titles = {});

    void setObserver(Observer *observer) { observer_ = observer; }

    const std::vector<std::string> &titles() const { return titles_; }
    void setTitles(std::vector<std::string> titles);
    size_t columnCount() const { return titles_.size(); }
    // Columns from `count` on are optional: a list file keeps them and a view shows them only
    // while some row fills them. Every column counts as fixed until this is called.
    void setFixedColumns(size_t count) { fixedColumns_ = count; }
    size_t fixedColumns() const { return std::min(fixedColumns_, titles_.size()); }
    // Whether some row has a text in the column.
    bool columnFilled(size_t column) const {
        return column < filled_.size() && filled_[column] > 0;
    }
    // Whether a view shows the column: a fixed one always, an optional one while a row fills it.
    bool columnShown(size_t column) const { return column < fixedColumns_ || columnFilled(column); }
    // The fixed columns and every optional one up to the last that some row fills.
    size_t columnsInUse() const;
    size_t rowCount() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    const std::string &cell(size_t row, size_t column) const;
    const std::vector<std::string> &rowCells(size_t row) const { return rows_[row].cells; }
    void setCell(size_t row, size_t column, std::string text);

    // Cells beyond the column count are dropped, missing ones are empty.
    size_t appendRow(std::vector<std::string> cells);
    void insertRow(size_t index, std::vector<std::string> cells);
    void removeRow(size_t index);
    void clear();
    // Removes every ticked row and renumbers the rest; returns how many went.
    size_t removeChecked();
    // Ticks the selected rows when none is ticked, so that the Delete key acts on what the user
    // chose either way.
    void tickSelectionIfNoneTicked();
    void reserve(size_t rows) { rows_.reserve(rows); }

    bool isChecked(size_t row) const { return rows_[row].checked; }
    void setChecked(size_t row, bool checked);
    void setAllChecked(bool checked);
    bool allChecked() const; // true for an empty list
    bool isSelected(size_t row) const { return rows_[row].selected; }
    void setSelected(size_t row, bool selected);
    void selectOnly(size_t row);
    void clearSelection();
    // The first selected row, or rowCount() when none is.
    size_t firstSelected() const;
    size_t selectedCount() const;

    // Column 0 of every row from `first` on becomes its 1-based position.
    void renumberFrom(size_t first);
    // Exchanges two rows' texts (all but column 0), ticks and data, then selects b only.
    // False when a equals b or either is out of range.
    bool swapRows(size_t a, size_t b);
    // Reorders the rows; order[i] is the old index of the row that goes to position i.
    void permute(const std::vector<size_t> &order);

private:
    struct Row {
        std::vector<std::string> cells;
        bool checked = false;
        bool selected = false;
    };

    void fit(std::vector<std::string> &cells) const;
    // Adds (step 1) or takes away (step -1) a row's texts from the counts of filled cells.
    void tally(const std::vector<std::string> &cells, int step);
    void notifyChanged(size_t first, size_t last);

    std::vector<std::string> titles_;
    std::vector<Row> rows_;
    std::vector<size_t> filled_; // per column, the rows with a text in it
    size_t fixedColumns_ = SIZE_MAX;
    Observer *observer_ = nullptr;
    int batchDepth_ = 0;
};

} // namespace velnor
