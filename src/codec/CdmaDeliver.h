#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "codec/CMyTools.h"

namespace velnor {

// A received message of a CDMA card, as a card or a test holds it.
struct CdmaDeliverMessage {
    std::string originator; // DTMF digits, or with a leading "+" an international number
    std::string text;       // in the coding cdmaTextUsage chooses
    uint16_t messageId = 0;
    std::array<uint8_t, 6> timeStamp{}; // BCD YY MM DD HH MM SS (C.S0015, 4.5.4)
};

// A whole EF_SMS record image (3GPP2 C.S0023, 3.4.27) with the given status byte: MSG_LEN and a
// point-to-point SMS Deliver (3GPP2 C.S0015, 3.4.2.1 and 4.4.1). Not padded.
Bytes encodeCdmaDeliverRecord(uint8_t status, const CdmaDeliverMessage &message);

} // namespace velnor
