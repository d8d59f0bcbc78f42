#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "virtualcard/CardProfile.h"

namespace velnor {

// Why a profile gave no card.
enum class ProfileFault {
    Unreadable, // the file or its text cannot be read as a card
    Missing,    // there is no such file: the reader is empty
    InUse,      // another program has the card in its reader
};

// A profile, or one sentence saying what is wrong with it.
struct ProfileResult {
    std::optional<CardProfile> profile;
    std::string error;
    ProfileFault fault = ProfileFault::Unreadable;
};

// Reads a card profile (JSON): the answer to reset, CHV1, the files and their contents, the
// quirks. Every fault of the text gives an error, never an exception.
//
// A file may name its access conditions, "read" and "update", as "ALW", "CHV1", "CHV2", "ADM"
// or "NEV" (GSM 11.11, 9.3). Without them a file of the master file is read always and updated
// by the administrator only, a file of a directory needs CHV1 for both. No administrative code
// can be presented, so a phonebook with "update": "ADM" reads as usual and answers every UPDATE
// RECORD with 9804 (GSM 11.11, 9.4.5); its status response shows that condition.
ProfileResult parseCardProfile(std::string_view jsonText);
ProfileResult loadCardProfile(const std::filesystem::path &path);

// The profile as JSON text that parseCardProfile reads back to the same card. Records lose
// their trailing fill bytes and trailing all-fill records are left out; both come back as fill.
std::string writeCardProfile(const CardProfile &profile);

} // namespace velnor
