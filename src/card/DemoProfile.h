#pragma once

#include <string>

#include "virtualcard/CardProfile.h"

namespace velnor {

// The demo card of "velnor-cli card demo": ICCID 89012345678901234567, IMSI 001010123456789 of
// the test network with the GSM files of every SIM, CHV1 1234 present but disabled (unblock
// code 12345678), a phonebook of 250 records with entries in every name coding, messages of
// every status, and a service centre. With cdma set the card also has the CDMA directory 7F25
// with a message file of CDMA messages.
CardProfile makeDemoCard(bool cdma);

// The same card as profile JSON text.
std::string makeDemoProfile(bool cdma);

} // namespace velnor
