#pragma once

#include <cstdint>

namespace velnor::sw {

// Status words of a GSM 11.11 card (GSM 11.11, 9.4).
inline constexpr uint16_t Ok = 0x9000;
inline constexpr uint8_t ResponseWaiting = 0x9F; // SW1; SW2 is the length of the response
inline constexpr uint16_t MemoryProblem = 0x9240;
inline constexpr uint16_t NoEfSelected = 0x9400;
inline constexpr uint16_t OutOfRange = 0x9402;
inline constexpr uint16_t FileNotFound = 0x9404;
inline constexpr uint16_t FileInconsistent = 0x9408;
inline constexpr uint16_t NoChvInitialised = 0x9802;
inline constexpr uint16_t AccessDenied = 0x9804; // also: a wrong code, attempts left
inline constexpr uint16_t ChvStatusContradiction = 0x9808;
inline constexpr uint16_t InvalidationContradiction = 0x9810;
inline constexpr uint16_t ChvBlocked = 0x9840;
inline constexpr uint16_t WrongLength = 0x6700;
inline constexpr uint16_t WrongParameters = 0x6B00;
inline constexpr uint16_t UnknownInstruction = 0x6D00;
inline constexpr uint16_t WrongClass = 0x6E00;

// Status words of a UICC (TS 102 221, 10.2.1).
inline constexpr uint8_t UiccResponseWaiting = 0x61; // SW1; SW2 is the length of the response
inline constexpr uint8_t UiccWrongLe = 0x6C;         // SW1; SW2 is the length to ask for
inline constexpr uint8_t UiccAttemptsLeft = 0x63;    // SW1; SW2 is C and the attempts left
inline constexpr uint16_t UiccMemoryProblem = 0x6581;
inline constexpr uint16_t UiccWrongFileType = 0x6981;
inline constexpr uint16_t UiccSecurityNotSatisfied = 0x6982;
inline constexpr uint16_t UiccPinBlocked = 0x6983;
inline constexpr uint16_t UiccInvalidated = 0x6984;
inline constexpr uint16_t UiccConditionsNotSatisfied = 0x6985;
inline constexpr uint16_t UiccNoEfSelected = 0x6986;
inline constexpr uint16_t UiccFileNotFound = 0x6A82;
inline constexpr uint16_t UiccRecordNotFound = 0x6A83;
inline constexpr uint16_t UiccWrongP1P2 = 0x6A86;
inline constexpr uint16_t UiccNoSuchPin = 0x6A88;

} // namespace velnor::sw
