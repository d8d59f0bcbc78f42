#pragma once

#include <functional>
#include <string>

#include "base/CardLink.h"
#include "base/StatusPanes.h"
#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "card/CardIdentity.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor {

struct CardOpeningContext {
    CUSBOpKrnl &driver;
    UserPrompts &prompts;
    const Texts &texts;
    StatusLine &status;
    ReaderState &reader;
    CardLink &link;
    // Told as soon as the card has answered its reset, before any PIN dialog: the window shows
    // the reader connected from then on.
    std::function<void()> answered = {};
};

// Opens the card in the reader: checks that it answers, settles the PIN with the user when the
// card asks for it, reads its identity into the status bar and finds out whether it is a CDMA
// card. A card that refuses class A0 (6E00 or 6D00) is opened as a UICC: its USIM is found
// in EF DIR and PIN1 settled through class 00; one that answers class A0 and names a USIM in EF
// DIR is a UICC with USIM. The link says which kind of card it is. A code
// the program holds is kept only for the card that accepted it: another card
// makes the PIN pending again, so one card's code is never offered to another.
enum class CardOpened {
    Opened,
    NoCard,       // no card in the reader, or no answer to reset; pane 1 says so (text::NoCard)
    NotAnswering, // it answered the reset but not the selection of its master file
    PinNotGiven,  // the PIN or unblock dialog was cancelled, or the card refused the code
};
CardOpened openCard(CardOpeningContext &context);

} // namespace velnor
