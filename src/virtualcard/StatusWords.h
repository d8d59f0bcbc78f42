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

} // namespace velnor::sw
