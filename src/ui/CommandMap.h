#pragma once

// Which of the window's commands are enabled, decided here alone: from what the reader search
// found, whether the card answered, and what the last read did.

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
// The connect command opened the card: the list files wait for a read of it.
void showConnected(CommandStates &commands);
void showDisconnected(CommandStates &commands);
// A read that did not fail makes the lists and the write command usable.
void showRead(CommandStates &commands, const ReadResult &read);

} // namespace velnor
