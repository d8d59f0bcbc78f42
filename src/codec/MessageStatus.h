#pragma once

// The status byte of a stored short message (GSM 11.11, 10.5.3; 3GPP2 C.S0023, 3.4.27): bit 1
// set when the record is in use, bit 3 set for a message to send.

#include <cstdint>

namespace velnor {

namespace status {
inline constexpr uint8_t Free = 0;
inline constexpr uint8_t Read = 1;
inline constexpr uint8_t Unread = 3;
inline constexpr uint8_t Sent = 5;
inline constexpr uint8_t NotSent = 7;
} // namespace status

inline bool messageInUse(uint8_t statusByte) {
    return (statusByte & 0x01) != 0;
}
inline bool messageIsSentType(uint8_t statusByte) {
    return (statusByte & 0x04) != 0;
}

} // namespace velnor
