#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/CardLink.h"
#include "reader/CardHandle.h"

namespace velnor {

// A card opened for changing its files.
struct WritableCard {
    std::unique_ptr<CardHandle> handle;
    // How the card backups know the card: its ICCID digits; for a card whose ICCID cannot be
    // read, "IMSI " and the IMSI digits; empty when neither can be read.
    std::string identity;
};

enum class IdentityMatch {
    Same,
    Other,   // both are known and of one kind, and they differ
    Unknown, // either is not known, or one is an ICCID and the other an IMSI
};
IdentityMatch matchIdentities(const std::string &backup, const std::string &card);

// The same judged by the ICCID alone, which a card gives without its PIN, so that no code is
// offered to a card that is plainly another. A backup that names no ICCID is the Same as a card
// that gives none: its IMSI can only be compared once the PIN was given.
IdentityMatch matchBeforePin(const std::string &backup, const std::string &cardIccid);

// Opens the card, selects its master file, presents the CHV1 code when the card asks for it and
// reads its identity; nullopt when any but the last of that fails. The code goes only to the card
// that accepted it, and an empty code is never offered: either could only cost an attempt.
std::optional<WritableCard> openWritableCard(CUSBOpKrnl &driver, const std::string &devicePath,
                                             const CardLink &link);

} // namespace velnor
