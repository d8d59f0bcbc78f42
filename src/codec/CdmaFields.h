#pragma once

// Identifiers and codes of 3GPP2 C.S0015 shared by the CDMA decoder and encoder.

#include <cstdint>

namespace velnor::cdma {

// SMS transport layer message types (C.S0015, 3.4.1).
inline constexpr uint8_t kPointToPoint = 0x00;
inline constexpr uint8_t kBroadcast = 0x01;

// Transport layer parameter identifiers (C.S0015, 3.4.3).
inline constexpr uint8_t kTeleserviceId = 0x00;
inline constexpr uint8_t kOriginatingAddress = 0x02;
inline constexpr uint8_t kDestinationAddress = 0x04;
inline constexpr uint8_t kBearerData = 0x08;

// Bearer data subparameter identifiers (C.S0015, 4.5).
inline constexpr uint8_t kMessageIdentifier = 0x00;
inline constexpr uint8_t kUserData = 0x01;
inline constexpr uint8_t kMessageCenterTimeStamp = 0x03;

// Message types of the message identifier (C.S0015, 4.5.1).
inline constexpr unsigned kDeliverMessage = 1;
inline constexpr unsigned kSubmitMessage = 2;

// Teleservice identifiers (C.S0015, 3.4.3.1): CDMA Cellular Messaging Teleservice.
inline constexpr uint16_t kWirelessMessaging = 4098;

// Message encodings of the user data (C.R1001, table 9.1-1).
inline constexpr unsigned kEncodingOctet = 0;
inline constexpr unsigned kEncodingAscii7 = 2;
inline constexpr unsigned kEncodingIa5 = 3;
inline constexpr unsigned kEncodingUnicode = 4;
inline constexpr unsigned kEncodingLatin = 8;
inline constexpr unsigned kEncodingGsm7 = 9;

// Address number types (C.S0005, table 2.7.1.3.2.4-2) and plans (table 2.7.1.3.2.4-3).
inline constexpr unsigned kNumberTypeUnknown = 0;
inline constexpr unsigned kNumberTypeInternational = 1;
inline constexpr unsigned kNumberPlanTelephony = 1;

} // namespace velnor::cdma
