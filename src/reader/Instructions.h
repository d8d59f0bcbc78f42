#pragma once

#include <cstdint>

// The instruction bytes of the card commands Velnor sends, the same for a GSM SIM (class A0,
// GSM 11.11, 9.2) and a UICC (class 00, TS 102 221, 10.1.2).
namespace velnor::ins {

inline constexpr uint8_t Select = 0xA4;
inline constexpr uint8_t GetResponse = 0xC0;
inline constexpr uint8_t ReadBinary = 0xB0;
inline constexpr uint8_t UpdateBinary = 0xD6;
inline constexpr uint8_t ReadRecord = 0xB2;
inline constexpr uint8_t UpdateRecord = 0xDC;
inline constexpr uint8_t Verify = 0x20;
inline constexpr uint8_t Change = 0x24;
inline constexpr uint8_t Disable = 0x26;
inline constexpr uint8_t Enable = 0x28;
inline constexpr uint8_t Unblock = 0x2C;

// P2 of READ RECORD and UPDATE RECORD: the record number in P1.
inline constexpr uint8_t AbsoluteRecord = 0x04;

} // namespace velnor::ins
