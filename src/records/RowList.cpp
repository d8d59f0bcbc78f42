#include "records/RowList.h"

#include <algorithm>
#include <utility>

namespace velnor {

RowList::Batch::Batch(RowList &list) : list_(list) {
    if (list_.batchDepth_++ == 0 && list_.observer_ != nullptr) {
        list_.observer_->aboutToReset();
    }
}

RowList::Batch::~Batch() {
    if (--list_.batchDepth_ == 0 && list_.observer_ != nullptr) {
        list_.observer_->reset();
    }
}

RowList::RowList(std::vector<std::string> titles)
    : titles_(std::move(titles)), filled_(titles_.size(), 0) {}

void RowList::setTitles(std::vector<std::string> titles) {
    titles_ = std::move(titles);
    filled_.assign(titles_.size(), 0);
    for (Row &row : rows_) {
        fit(row.cells);
        tally(row.cells, 1);
    }
    if (observer_ != nullptr && batchDepth_ == 0) {
        observer_->titlesChanged();
    }
}

const std::string &RowList::cell(size_t row, size_t column) const {
    static const std::string none;
    const std::vector<std::string> &cells = rows_[row].cells;
    return column < cells.size() ? cells[column] : none;
}

void RowList::setCell(size_t row, size_t column, std::string text) {
    if (row >= rows_.size() || column >= rows_[row].cells.size()) {
        return;
    }
    std::string &cell = rows_[row].cells[column];
    filled_[column] -= cell.empty() ? 0 : 1;
    filled_[column] += text.empty() ? 0 : 1;
    cell = std::move(text);
    notifyChanged(row, row);
}

void RowList::fit(std::vector<std::string> &cells) const {
    cells.resize(titles_.size());
}

void RowList::tally(const std::vector<std::string> &cells, int step) {
    for (size_t column = 0; column < cells.size(); ++column) {
        if (!cells[column].empty()) {
            filled_[column] += static_cast<size_t>(step);
        }
    }
}

size_t RowList::columnsInUse() const {
    size_t count = fixedColumns();
    for (size_t column = count; column < filled_.size(); ++column) {
        if (filled_[column] > 0) {
            count = column + 1;
        }
    }
    return count;
}

size_t RowList::appendRow(std::vector<std::string> cells) {
    insertRow(rows_.size(), std::move(cells));
    return rows_.size() - 1;
}

void RowList::insertRow(size_t index, std::vector<std::string> cells) {
    if (index > rows_.size()) {
        index = rows_.size();
    }
    fit(cells);
    tally(cells, 1);
    const bool tell = observer_ != nullptr && batchDepth_ == 0;
    if (tell) {
        observer_->aboutToInsert(index, 1);
    }
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), Row{std::move(cells)});
    if (tell) {
        observer_->inserted();
    }
}

void RowList::removeRow(size_t index) {
    if (index >= rows_.size()) {
        return;
    }
    const bool tell = observer_ != nullptr && batchDepth_ == 0;
    if (tell) {
        observer_->aboutToRemove(index, 1);
    }
    tally(rows_[index].cells, -1);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    if (tell) {
        observer_->removed();
    }
}

void RowList::clear() {
    Batch batch(*this);
    rows_.clear();
    filled_.assign(titles_.size(), 0);
}

size_t RowList::removeChecked() {
    Batch batch(*this);
    const size_t before = rows_.size();
    for (const Row &row : rows_) {
        if (row.checked) {
            tally(row.cells, -1);
        }
    }
    std::erase_if(rows_, [](const Row &row) { return row.checked; });
    renumberFrom(0);
    return before - rows_.size();
}

void RowList::tickSelectionIfNoneTicked() {
    if (std::ranges::any_of(rows_, [](const Row &row) { return row.checked; })) {
        return;
    }
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].selected) {
            setChecked(row, true);
        }
    }
}

void RowList::setChecked(size_t row, bool checked) {
    if (row < rows_.size() && rows_[row].checked != checked) {
        rows_[row].checked = checked;
        notifyChanged(row, row);
    }
}

void RowList::setAllChecked(bool checked) {
    for (Row &row : rows_) {
        row.checked = checked;
    }
    if (!rows_.empty()) {
        notifyChanged(0, rows_.size() - 1);
    }
}

bool RowList::allChecked() const {
    for (const Row &row : rows_) {
        if (!row.checked) {
            return false;
        }
    }
    return true;
}

void RowList::setSelected(size_t row, bool selected) {
    if (row < rows_.size() && rows_[row].selected != selected) {
        rows_[row].selected = selected;
        notifyChanged(row, row);
    }
}

void RowList::selectOnly(size_t row) {
    clearSelection();
    setSelected(row, true);
}

void RowList::clearSelection() {
    for (size_t i = 0; i < rows_.size(); ++i) {
        setSelected(i, false);
    }
}

size_t RowList::firstSelected() const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].selected) {
            return i;
        }
    }
    return rows_.size();
}

size_t RowList::selectedCount() const {
    size_t count = 0;
    for (const Row &row : rows_) {
        count += row.selected ? 1 : 0;
    }
    return count;
}

void RowList::renumberFrom(size_t first) {
    if (titles_.empty() || first >= rows_.size()) {
        return;
    }
    for (size_t i = first; i < rows_.size(); ++i) {
        filled_[0] += rows_[i].cells[0].empty() ? 1 : 0;
        rows_[i].cells[0] = std::to_string(i + 1);
    }
    notifyChanged(first, rows_.size() - 1);
}

bool RowList::swapRows(size_t a, size_t b) {
    if (a == b || a >= rows_.size() || b >= rows_.size()) {
        return false;
    }
    Row &first = rows_[a];
    Row &second = rows_[b];
    for (size_t column = 1; column < first.cells.size(); ++column) {
        std::swap(first.cells[column], second.cells[column]);
    }
    std::swap(first.checked, second.checked);
    first.selected = false;
    second.selected = true;
    notifyChanged(std::min(a, b), std::max(a, b));
    return true;
}

void RowList::permute(const std::vector<size_t> &order) {
    if (order.size() != rows_.size()) {
        return;
    }
    Batch batch(*this);
    std::vector<Row> reordered;
    reordered.reserve(rows_.size());
    for (const size_t from : order) {
        reordered.push_back(std::move(rows_[from]));
    }
    rows_ = std::move(reordered);
}

void RowList::notifyChanged(size_t first, size_t last) {
    if (observer_ != nullptr && batchDepth_ == 0) {
        observer_->changed(first, last);
    }
}

} // namespace velnor
