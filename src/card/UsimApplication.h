#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/CardLink.h"
#include "reader/UiccChannel.h"

namespace velnor {

// What opening a UICC learns of its USIM application.
struct UsimState {
    std::vector<uint8_t> aid;
    bool pin1Enabled = true;
    int attemptsLeft = -1; // -1: the card did not say
};

// Finds the USIM's AID in EF DIR, selects its ADF and takes the state of PIN1 from the ADF's
// PIN status template and an empty VERIFY (TS 102 221, 9.5.2 and 11.1.9). nullopt when the
// card names no USIM or does not answer.
std::optional<UsimState> openUsim(UiccChannel &channel);

// Tells the link what kind of card is on the handle, for the PIN operations of a command that
// does not open the card: a card that refuses class A0 is a USIM-only card when EF DIR names its
// USIM. False when the card answers neither way.
bool learnCardKind(CUSBOpKrnl &driver, int handle, CardLink &link);

// After a GSM command that the card refused with 6E00 or 6D00, as a UICC that answers class 00
// alone does (TS 102 221, 10.2.1.4): its USIM, opened through class 00. nullopt after any other
// refusal, or when the card names no USIM.
std::optional<UsimState> usimAfterRefusal(CUSBOpKrnl &driver, int handle);

// The ICCID digits through class 00 (EF ICCID under the master file), nullopt when unreadable.
std::optional<std::string> readUiccIdentity(UiccChannel &channel);

} // namespace velnor
