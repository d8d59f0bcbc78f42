#pragma once

// What one short message holds in each coding, shared by the usage count and the encoders.

#include "codec/CMyTools.h"

namespace velnor {

inline constexpr size_t kMaxSeptets = 160;  // GSM 03.40, 9.2.3.16
inline constexpr size_t kMaxOctets = 140;   // GSM 03.40, 9.2.3.16
inline constexpr size_t kMaxUcs2Units = 70; // 140 octets of two-octet units

// Bits of a CDMA user data subparameter before its characters: MSG_ENCODING and NUM_FIELDS
// (3GPP2 C.S0015, 4.5.2).
inline constexpr size_t kCdmaUserDataHeaderBits = 5 + 8;

// The CDMA usage of a text whose user data subparameter may take roomOctets octets.
SmsTextUsage cdmaTextUsageInRoom(std::string_view text, size_t roomOctets);

// Bits a character takes in a CDMA coding.
unsigned cdmaCharacterBits(SmsCoding coding);

} // namespace velnor
