#pragma once

#include <cstdint>

namespace velnor::ins {

// Instructions of GSM 11.11, 9.2; a UICC uses the same bytes (TS 102 221, 10.1.2).
constexpr uint8_t Select = 0xA4;
constexpr uint8_t Status = 0xF2;
constexpr uint8_t ReadBinary = 0xB0;
constexpr uint8_t UpdateBinary = 0xD6;
constexpr uint8_t ReadRecord = 0xB2;
constexpr uint8_t UpdateRecord = 0xDC;
constexpr uint8_t GetResponse = 0xC0;
constexpr uint8_t VerifyChv = 0x20;
constexpr uint8_t ChangeChv = 0x24;
constexpr uint8_t DisableChv = 0x26;
constexpr uint8_t EnableChv = 0x28;
constexpr uint8_t UnblockChv = 0x2C;

} // namespace velnor::ins
