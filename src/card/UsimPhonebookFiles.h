#pragma once

// The identifiers a USIM phonebook has on every card (TS 31.102, 4.4.2 and 4.4.2.12); the
// other files of DF PHONEBOOK are named by EF PBR.

#include <array>
#include <cstdint>

#include "card/CardFile.h"

namespace velnor::usim {

inline constexpr uint16_t Adf = CardFileSystem::AdfId; // the current USIM (TS 102 221, 8.3)
inline constexpr uint16_t Phonebook = 0x5F3A;
inline constexpr uint16_t Psc = 0x4F22;  // phonebook synchronisation counter, 4 bytes
inline constexpr uint16_t Cc = 0x4F23;   // change counter, 2 bytes
inline constexpr uint16_t Puid = 0x4F24; // previous unique identifier, 2 bytes
inline constexpr std::array<uint16_t, 3> SyncFiles{Psc, Cc, Puid};

} // namespace velnor::usim
