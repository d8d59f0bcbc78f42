#pragma once

// New and edited messages: a composed message becomes a row and a record image together. An
// unsent message is changed in place; any other message stays as it was and its edited form is
// added as a new unsent message.

#include <optional>
#include <string>

#include "base/Texts.h"
#include "records/CardState.h"
#include "records/MessageStore.h"

namespace velnor {

// Appends a composed message at the end of the list: status "not yet sent", no time. Returns
// the index of the new row.
size_t appendComposedMessage(MessageList &list, const std::string &number, const std::string &text,
                             const CardState &card, const Texts &texts);

// What the message editor is opened with for the first selected row.
struct MessageEditStart {
    size_t row = 0;
    MessageImage image{};
    bool editable = false; // the status byte is exactly 7: not yet sent
    bool outgoing = false; // status bit 2: sent from the handset
    std::string number;
    std::string time;
    std::string text;
};

// The editor's start for a row; nullopt when there is no such row.
std::optional<MessageEditStart> messageEditStart(const MessageList &list, size_t row);

// The editor's start for the first selected row; nullopt when no row is selected.
std::optional<MessageEditStart> beginMessageEdit(const MessageList &list);

// Applies the editor's OK: replaces the row and its image when the message was editable,
// otherwise appends a new unsent message. Returns the index of the row that holds the result.
size_t finishMessageEdit(MessageList &list, const MessageEditStart &start,
                         const std::string &number, const std::string &text, const CardState &card,
                         const Texts &texts);

} // namespace velnor
