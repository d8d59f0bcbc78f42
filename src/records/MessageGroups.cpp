#include "records/MessageGroups.h"

#include "records/MessageRecord.h"

namespace velnor {

namespace {

constexpr size_t kNoRow = static_cast<size_t>(-1);

// A long message met so far: its rows by sequence number, kNoRow where a part is missing.
struct OpenMessage {
    size_t group = 0;
    bool sent = false;
    std::string number;
    uint16_t reference = 0;
    std::vector<size_t> parts;
};

ConcatInfo concatenation(const MessageImage &image, bool cdma) {
    SM_PARAM param;
    return decodeMessageRecord(image.data(), image.size(), cdma, param) ? param.concat
                                                                        : ConcatInfo{};
}

OpenMessage &messageFor(std::vector<OpenMessage> &open, std::vector<MessageGroup> &groups,
                        const OpenMessage &key, uint8_t sequence) {
    for (OpenMessage &message : open) {
        if (message.sent == key.sent && message.number == key.number &&
            message.reference == key.reference && message.parts.size() == key.parts.size() &&
            message.parts[sequence - 1] == kNoRow) {
            return message;
        }
    }
    open.push_back(key);
    open.back().group = groups.size();
    groups.emplace_back();
    return open.back();
}

} // namespace

std::vector<MessageGroup> groupMessages(const MessageList &list, bool cdma, bool join) {
    const RowList &rows = list.rows();
    std::vector<MessageGroup> groups;
    std::vector<OpenMessage> open;
    for (size_t row = 0; row < list.size() && row < rows.rowCount(); ++row) {
        const ConcatInfo part = join ? concatenation(list.store()[row], cdma) : ConcatInfo{};
        if (part.total < 2) {
            groups.push_back({{row}, 1, rows.cell(row, column::Text)});
            continue;
        }
        const OpenMessage key{0, messageIsSentType(list.store()[row][0]),
                              rows.cell(row, column::MessageNumber), part.reference,
                              std::vector<size_t>(part.total, kNoRow)};
        messageFor(open, groups, key, part.sequence).parts[part.sequence - 1] = row;
    }
    for (const OpenMessage &message : open) {
        MessageGroup &group = groups[message.group];
        group.total = message.parts.size();
        for (const size_t row : message.parts) {
            if (row == kNoRow) {
                group.text += kMissingPartMark;
            } else {
                group.rows.push_back(row);
                group.text += rows.cell(row, column::Text);
            }
        }
    }
    return groups;
}

std::string partsPresent(const MessageGroup &group) {
    if (group.total < 2) {
        return {};
    }
    return std::to_string(group.rows.size()) + "/" + std::to_string(group.total);
}

} // namespace velnor
