#pragma once

// The message list as the message tab shows it: one row per message, the parts of a long
// message joined (groupMessages). The rows follow the list: every change of the list rebuilds
// them. A tick or a selection on a row goes to every record the row stands for, so deleting,
// opening, replying and saving act on whole messages while the card keeps one record per part.

#include <optional>
#include <string>
#include <vector>

#include "base/Texts.h"
#include "records/CardState.h"
#include "records/MessageEdit.h"
#include "records/MessageGroups.h"

namespace velnor {

class JoinedMessages : private RowList::Observer {
public:
    JoinedMessages(MessageList &list, const CardState &card);
    ~JoinedMessages() override;
    JoinedMessages(const JoinedMessages &) = delete;
    JoinedMessages &operator=(const JoinedMessages &) = delete;

    RowList &rows() { return rows_; }
    const RowList &rows() const { return rows_; }
    const std::vector<MessageGroup> &groups() const { return groups_; }
    // The row that shows a record of the list.
    size_t rowOf(size_t record) const;

    bool joined() const { return joined_; }
    // Off: one row per record. A record ticked or selected without the rest of its message
    // loses the tick or the selection, so that nothing unseen is deleted.
    void setJoined(bool on);
    // Hands the ticks and the selection of the rows to the records.
    void pushToList();
    // Removes every record of a row with its image.
    void removeRow(size_t row);

    // The editor's start for the first selected row. A long message opens whole, to read, reply
    // to or save, and is never changed in place: its parts keep their headers.
    std::optional<MessageEditStart> beginEdit() const;
    // Sender or recipient, time, status and the whole text of the first selected row; empty
    // when none is selected.
    std::string preview(const Texts &texts) const;

private:
    void rebuild();
    std::vector<std::string> cellsOf(size_t row) const;

    void aboutToInsert(size_t, size_t) override {}
    void inserted() override { rebuild(); }
    void aboutToRemove(size_t, size_t) override {}
    void removed() override { rebuild(); }
    void changed(size_t, size_t) override { rebuild(); }
    void aboutToReset() override {}
    void reset() override { rebuild(); }
    void titlesChanged() override { rows_.setTitles(list_.rows().titles()); }

    MessageList &list_;
    const CardState &card_;
    RowList rows_;
    std::vector<MessageGroup> groups_;
    bool joined_ = true;
    bool syncing_ = false;
};

} // namespace velnor
