#pragma once

// Long messages read as one. A message too long for one record arrives in parts, each with a
// concatenation element in its user data header (GSM 03.40, 9.2.3.24.1 with an 8-bit
// reference, 9.2.3.24.8 with a 16-bit one). The card keeps one record per part; this groups
// them for reading only.

#include <string>
#include <string_view>
#include <vector>

#include "records/MessageStore.h"

namespace velnor {

// Stands in the joined text where a part is not in the list.
inline constexpr std::string_view kMissingPartMark = "…";

// One message as the reader sees it.
struct MessageGroup {
    std::vector<size_t> rows; // its rows in the list, in sequence order
    size_t total = 1;         // how many parts the message has, present or not
    std::string text;         // the parts' texts in sequence order, the mark for a missing one
};

// The messages of the list, in the order of their first row. With join false each row is a
// message of its own. Otherwise parts form one message when they agree on direction, number
// (sender or recipient), reference and part count; a part whose sequence number the message
// already holds starts another message.
std::vector<MessageGroup> groupMessages(const MessageList &list, bool cdma, bool join);

// "2/3" for a message of three parts of which two are present; empty for a message on its own.
std::string partsPresent(const MessageGroup &group);

} // namespace velnor
