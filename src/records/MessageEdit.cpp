#include "records/MessageEdit.h"

#include "records/MessageCompose.h"
#include "records/MessageRecord.h"

namespace velnor {

size_t appendComposedMessage(MessageList &list, const std::string &number, const std::string &text,
                             const CardState &card, const Texts &texts) {
    const size_t row = list.size();
    list.append(composedMessageCells(row + 1, number, text, texts),
                composeMessageImage(number, text, card));
    return row;
}

std::optional<MessageEditStart> beginMessageEdit(const MessageList &list) {
    return messageEditStart(list, list.rows().firstSelected());
}

std::optional<MessageEditStart> messageEditStart(const MessageList &list, size_t row) {
    const RowList &rows = list.rows();
    if (row >= rows.rowCount() || row >= list.size()) {
        return std::nullopt;
    }
    MessageEditStart start;
    start.row = row;
    start.image = list.store()[row];
    start.editable = start.image[0] == status::NotSent;
    start.outgoing = messageIsSentType(start.image[0]);
    start.number = rows.cell(row, column::MessageNumber);
    start.time = rows.cell(row, column::Time);
    start.text = rows.cell(row, column::Text);
    return start;
}

size_t finishMessageEdit(MessageList &list, const MessageEditStart &start,
                         const std::string &number, const std::string &text, const CardState &card,
                         const Texts &texts) {
    if (!start.editable || start.row >= list.size()) {
        return appendComposedMessage(list, number, text, card, texts);
    }
    std::vector<std::string> cells = composedMessageCells(start.row + 1, number, text, texts);
    cells[column::Time] = list.rows().cell(start.row, column::Time);
    list.replace(start.row, std::move(cells), composeMessageImage(number, text, card));
    return start.row;
}

} // namespace velnor
