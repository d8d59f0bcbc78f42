#pragma once

// Shared by the reading and the writing of card profiles.

#include <optional>
#include <string>
#include <string_view>

#include "virtualcard/CardFileSystem.h"
#include "virtualcard/CardProfile.h"

namespace velnor::profile {

// Access conditions by name: "ALW", "CHV1", "CHV2", "ADM", "NEV".
std::optional<AccessCondition> accessFromName(std::string_view name);
std::string accessName(AccessCondition condition);

// Without a word from the profile, files of the master file are read always and updated by the
// administrator only; files of a directory need CHV1 for both (GSM 11.11, 10.3 and 10.5).
AccessCondition defaultReadAccess(bool inMasterFile);
AccessCondition defaultUpdateAccess(bool inMasterFile);

// A UICC has its USIM's ADF and an EF DIR that names it; made here when the card has none.
void addUiccFiles(CardFileSystem &files, const UiccSettings &uicc);

inline constexpr uint8_t DefaultFill = 0xFF;
inline constexpr unsigned MaxRecordLength = 255;
inline constexpr unsigned MaxRecordCount = 254;        // record numbers 1..254 (GSM 11.11, 9.2.4)
inline constexpr unsigned MaxTransparentSize = 0x7FFF; // READ BINARY offsets have 15 bits
inline constexpr unsigned MaxAttempts = 15;            // the counter is a nibble
// A full card's profile is a few hundred kilobytes of text; anything much larger is no profile.
inline constexpr size_t MaxProfileBytes = 16 << 20;
inline constexpr unsigned MaxAnswerDelayMs = 60000;

} // namespace velnor::profile
