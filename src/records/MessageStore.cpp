#include "records/MessageStore.h"

#include <utility>

namespace velnor {

void MessageList::append(std::vector<std::string> cells, const MessageImage &image) {
    insert(store_.size(), std::move(cells), image);
}

void MessageList::insert(size_t index, std::vector<std::string> cells, const MessageImage &image) {
    if (index > store_.size()) {
        index = store_.size();
    }
    store_.insert(store_.begin() + static_cast<std::ptrdiff_t>(index), image);
    rows_.insertRow(index, std::move(cells));
}

void MessageList::replace(size_t index, std::vector<std::string> cells, const MessageImage &image) {
    if (index >= store_.size()) {
        return;
    }
    store_[index] = image;
    for (size_t column = 0; column < cells.size(); ++column) {
        rows_.setCell(index, column, std::move(cells[column]));
    }
}

void MessageList::remove(size_t index) {
    if (index >= store_.size()) {
        return;
    }
    store_.erase(store_.begin() + static_cast<std::ptrdiff_t>(index));
    rows_.removeRow(index);
    rows_.renumberFrom(index);
}

void MessageList::clear() {
    store_.clear();
    rows_.clear();
}

// The images go first, so that an observer of the rows sees them in step.
bool MessageList::swap(size_t a, size_t b) {
    if (a == b || a >= store_.size() || b >= store_.size()) {
        return false;
    }
    std::swap(store_[a], store_[b]);
    return rows_.swapRows(a, b);
}

size_t MessageList::removeChecked() {
    size_t kept = 0;
    for (size_t i = 0; i < store_.size(); ++i) {
        if (!rows_.isChecked(i)) {
            store_[kept++] = store_[i];
        }
    }
    store_.resize(kept);
    return rows_.removeChecked();
}

} // namespace velnor
