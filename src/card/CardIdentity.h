#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/CardLink.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor {

// The ICCID digits of the card (GSM 11.11, 10.1.1: EF ICCID 2FE2 under the master file, BCD
// with the low nibble first); at most 64 digits, from the first 32 bytes of the file. nullopt
// when the file cannot be selected or read.
std::optional<std::string> tryReadCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f);

// The same, empty when the file cannot be read.
std::string readCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f);
// The same, through class 00 on a UICC that was opened so.
std::string readCardIdentity(CUSBOpKrnl &driver, int handle, const CardLink &link);

// The IMSI digits (GSM 11.11, 10.3.2: EF IMSI 6F07 under DF GSM 7F20). Most cards show it only
// after CHV1, so it is read only once the PIN was given or is off. nullopt when the file cannot
// be read or is unused.
std::optional<std::string> tryReadImsi(CUSBOpKrnl &driver, int handle, uint8_t f);

} // namespace velnor
