#pragma once

#include <string>

#include "base/CardLink.h"
#include "base/CommandStates.h"
#include "base/StatusPanes.h"
#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "card/CardIdentity.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor {

// The commands of a connected (or disconnected) reader in menu and toolbar.
void applyConnectionState(CommandStates &commands, bool connected);

struct CardOpeningContext {
    CUSBOpKrnl &driver;
    UserPrompts &prompts;
    const Texts &texts;
    StatusLine &status;
    CommandStates &commands;
    ReaderState &reader;
    CardLink &link;
};

// Opens the card in the reader: checks that it answers, settles the PIN with the user when the
// card asks for it, reads its identity into the status bar and finds out whether it is a CDMA
// card. A code the program holds is kept only for the card that accepted it: another card
// makes the PIN pending again, so one card's code is never offered to another.
bool openCard(CardOpeningContext &context);

} // namespace velnor
