#pragma once

#include <optional>
#include <string>
#include <vector>

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

// The ICCID digits through class 00 (EF ICCID under the master file), nullopt when unreadable.
std::optional<std::string> readUiccIdentity(UiccChannel &channel);

} // namespace velnor
