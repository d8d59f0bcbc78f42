#pragma once

// Which of the window's commands are enabled, decided here alone: from what the reader search
// found, whether the card answered, what the last read did and which tab shows. The list files,
// the local list and the entry dialog work without a reader or card; only the card commands
// need one.

#include "transfer/ReadCard.h"
#include "ui/CommandStates.h"

namespace velnor {

enum class ReaderFound {
    None,      // no reader: nothing to connect to
    NotUsable, // a reader that does not say what it can do
    Usable,
};

// The window as built, before any reader or card.
void showWindowBuilt(CommandStates &commands);
void showReaderFound(CommandStates &commands, ReaderFound found);
// A card that answered its reset makes the reader connected, whatever comes after.
void showCardAnswered(CommandStates &commands);
void showDisconnected(CommandStates &commands);
// A read that did not fail makes the write command usable.
void showRead(CommandStates &commands, const ReadResult &read);
// A tab's list can be written once it was read; a message has no place to insert at.
void showListTab(CommandStates &commands, bool messageTab, bool read);

} // namespace velnor
