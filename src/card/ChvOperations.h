#pragma once

// The CHV1 (PIN) operations: present, switch on or off, change and unblock. On a UICC that
// answers class 00 only they go to PIN1 of its USIM, with the same results. Each runs inside
// one card transaction, on the connection the command holds (CardConnection) or else on one of
// its own; a dialog asks again after every refusal until the card accepts or the user cancels.

#include <cstdint>
#include <string>
#include <vector>

#include "base/CardLink.h"
#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor {

enum class ChvOperation { Verify, Enable, Disable, Change, Unblock };

struct ChvResult {
    bool accepted = false;
    bool malformed = false; // a code no card can hold (chvCodesFit); nothing was sent
    uint8_t status = 0;     // the card's refusal, SW2 of a 0x98xx answer
};

// GSM 11.11, 9.3: a PIN (CHV) has 4 to 8 digits, an unblock code exactly 8. Any other code
// could only cost an attempt, or become a PIN no phone can type.
bool chvCodesFit(ChvOperation operation, const std::vector<std::string> &codes);

// Runs one operation with codes in the order of the dialog's fields (change and unblock: the
// old or unblock code, then the new one), when they fit. On success chv1Code takes the code the
// card now has, and chv1CodeOwner the identity of the card that took it, read in the same
// transaction.
ChvResult performChv(CUSBOpKrnl &driver, const std::string &devicePath, CardLink &link,
                     ChvOperation operation, const std::vector<std::string> &codes);

// Presents the stored code on an open handle, but only to the card that accepted it: to any
// other card, or without a code, nothing is sent and false comes back, so no attempt of
// another card is ever spent.
bool presentStoredChv1(CUSBOpKrnl &driver, int handle, const CardLink &link);

// String number of the failure report for a refusal's status byte.
int chvFailureTextId(uint8_t status);
void reportChvFailure(UserPrompts &prompts, const Texts &texts, uint8_t status);

// CHV1 attempts left (or unblock attempts left), -1 when the card cannot be asked.
int chvAttemptsLeft(CUSBOpKrnl &driver, const std::string &devicePath, uint8_t f, bool unblock);
// The same on the card of a link: a UICC opened by class 00 is asked with an empty VERIFY or
// UNBLOCK PIN (TS 102 221, 11.1.9 and 11.1.13).
int chvAttemptsLeft(CUSBOpKrnl &driver, const std::string &devicePath, const CardLink &link,
                    bool unblock);

struct ChvDialogContext {
    CUSBOpKrnl &driver;
    UserPrompts &prompts;
    const Texts &texts;
    const std::string &devicePath;
    CardLink &link;
};

// Shows a PIN dialog until the card accepts its codes (true) or the user cancels (false). For
// the switch dialog, `switchedOff` tells which way it went.
bool runChvDialog(ChvDialogContext &context, CodeDialog dialog, bool *switchedOff = nullptr);

} // namespace velnor
