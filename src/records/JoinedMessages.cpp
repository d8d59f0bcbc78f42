#include "records/JoinedMessages.h"

#include <algorithm>
#include <functional>

#include "base/TextIds.h"
#include "codec/MessageStatus.h"

namespace velnor {

namespace {

// Holds back the echo of the changes made while the two lists are brought into step.
class Syncing {
public:
    explicit Syncing(bool &flag) : flag_(flag) { flag_ = true; }
    ~Syncing() { flag_ = false; }
    Syncing(const Syncing &) = delete;
    Syncing &operator=(const Syncing &) = delete;

private:
    bool &flag_;
};

} // namespace

JoinedMessages::JoinedMessages(MessageList &list, const CardState &card)
    : list_(list), card_(card), rows_(list.rows().titles()) {
    list_.rows().setObserver(this);
    rebuild();
}

JoinedMessages::~JoinedMessages() {
    list_.rows().setObserver(nullptr);
}

size_t JoinedMessages::rowOf(size_t record) const {
    for (size_t row = 0; row < groups_.size(); ++row) {
        if (std::ranges::find(groups_[row].rows, record) != groups_[row].rows.end()) {
            return row;
        }
    }
    return groups_.size();
}

void JoinedMessages::setJoined(bool on) {
    joined_ = on;
    rebuild();
    pushToList();
}

std::vector<std::string> JoinedMessages::cellsOf(size_t row) const {
    const MessageGroup &group = groups_[row];
    std::vector<std::string> cells = list_.rows().rowCells(group.rows.front());
    cells.resize(std::max(cells.size(), column::Text + 1));
    if (joined_) {
        cells[column::No] = std::to_string(row + 1);
    }
    const std::string parts = partsPresent(group);
    if (!parts.empty()) {
        cells[column::Text] = "[" + parts + "] " + group.text;
    }
    return cells;
}

// A row is ticked or selected when all its records are: what the view shows is what a command
// on the ticked or selected records would touch.
void JoinedMessages::rebuild() {
    if (syncing_) {
        return;
    }
    Syncing syncing(syncing_);
    groups_ = groupMessages(list_, card_.isCdmaCard, joined_);
    const RowList &records = list_.rows();
    const bool sameRows = rows_.rowCount() == groups_.size();
    std::optional<RowList::Batch> hold;
    if (!sameRows) {
        hold.emplace(rows_);
        rows_.clear();
    }
    for (size_t row = 0; row < groups_.size(); ++row) {
        std::vector<std::string> cells = cellsOf(row);
        if (!sameRows) {
            rows_.appendRow(std::move(cells));
        }
        for (size_t column = 0; sameRows && column < cells.size(); ++column) {
            if (rows_.cell(row, column) != cells[column]) {
                rows_.setCell(row, column, std::move(cells[column]));
            }
        }
        const std::vector<size_t> &parts = groups_[row].rows;
        rows_.setChecked(row, std::ranges::all_of(
                                  parts, [&](size_t record) { return records.isChecked(record); }));
        rows_.setSelected(row, std::ranges::all_of(parts, [&](size_t record) {
                              return records.isSelected(record);
                          }));
    }
}

void JoinedMessages::pushToList() {
    if (syncing_) {
        return;
    }
    Syncing syncing(syncing_);
    RowList &records = list_.rows();
    for (size_t row = 0; row < groups_.size() && row < rows_.rowCount(); ++row) {
        for (const size_t record : groups_[row].rows) {
            records.setChecked(record, rows_.isChecked(row));
            records.setSelected(record, rows_.isSelected(row));
        }
    }
}

void JoinedMessages::removeRow(size_t row) {
    if (row >= groups_.size()) {
        return;
    }
    std::vector<size_t> records = groups_[row].rows;
    std::ranges::sort(records, std::greater<>());
    RowList::Batch hold(list_.rows());
    for (const size_t record : records) {
        list_.remove(record);
    }
}

std::optional<MessageEditStart> JoinedMessages::beginEdit() const {
    const size_t row = rows_.firstSelected();
    if (row >= groups_.size()) {
        return std::nullopt;
    }
    const MessageGroup &group = groups_[row];
    std::optional<MessageEditStart> start = messageEditStart(list_, group.rows.front());
    if (start && group.total > 1) {
        start->text = group.text;
        start->editable = false;
    }
    return start;
}

std::string JoinedMessages::preview(const Texts &texts) const {
    const size_t row = rows_.firstSelected();
    if (row >= groups_.size()) {
        return {};
    }
    const MessageGroup &group = groups_[row];
    const RowList &records = list_.rows();
    const size_t first = group.rows.front();
    const bool sent = messageIsSentType(list_.store()[first][0]);
    std::string text = texts.get(sent ? text::MessageToLabel : text::MessageFromLabel) + " " +
                       records.cell(first, column::MessageNumber) + "\n";
    if (const std::string &time = records.cell(first, column::Time); !time.empty()) {
        text += texts.get(text::MessageTimeLabel) + " " + time + "\n";
    }
    text += texts.get(text::MessageStatusLabel) + " " + records.cell(first, column::Status);
    const std::string parts = partsPresent(group);
    if (!parts.empty()) {
        text += " (" + parts + ")";
    }
    return text + "\n\n" + group.text;
}

} // namespace velnor
