#pragma once

#include <string>

#include "base/CardLink.h"
#include "virtualcard/CardProfile.h"

namespace velnor {

// The demo card of "velnor-cli card demo": ICCID 89012345678901234567, IMSI 001010123456789 of
// the test network with the GSM files of every SIM, CHV1 1234 present but disabled (unblock
// code 12345678), a phonebook of 250 records with entries in every name coding, messages of
// every status, and a service centre. With cdma set the card also has the CDMA directory 7F25
// with a message file of CDMA messages. As a UICC (kind UiccWithUsim, or UsimOnly refusing
// class A0) it holds the USIM of AID A0000000871002FF49FF0589 with the messages, and a global
// USIM phonebook of two ADN sets and 280 entries with e-mails and additional numbers; DF
// TELECOM shows the first set and the messages to the GSM view. `fullUsimPhonebook` gives the
// UICC two full ADN sets of 250 entries.
CardProfile makeDemoCard(bool cdma, CardKind kind = CardKind::GsmSim,
                         bool fullUsimPhonebook = false);

// The same card as profile JSON text.
std::string makeDemoProfile(bool cdma, CardKind kind = CardKind::GsmSim);

} // namespace velnor
