#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "codec/CMyTools.h"

namespace velnor {

// A received short message, as a card stores it after the status byte.
struct DeliverMessage {
    uint8_t smscType = 0x91;
    std::string smsc;                   // digits
    uint8_t originatorType = 0x91;      // 0xD0: an alphanumeric originator
    std::string originator;             // digits, or the text of an alphanumeric originator
    uint8_t dcs = 0x00;                 // 0x00 default alphabet, 0x08 UCS2 (GSM 03.38, 4)
    std::array<uint8_t, 7> timeStamp{}; // TP-SCTS as in the PDU, see serviceCentreTimeStamp
    std::string text;
    ConcatInfo concat; // total 0: a message on its own
};

// The service-centre address and SMS-DELIVER TPDU of a received message (GSM 03.40, 9.2.2.1),
// with a concatenation header of 8-bit reference when the message is a part (GSM 03.40,
// 9.2.3.24.1). The text must fit one message.
Bytes encodeSmsDeliver(const DeliverMessage &message);

// TP-SCTS (GSM 03.40, 9.2.3.11): semi-octets with swapped nibbles; the zone in quarter hours.
std::array<uint8_t, 7> serviceCentreTimeStamp(int year, int month, int day, int hour, int minute,
                                              int second, int zoneQuarterHours);

} // namespace velnor
