#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/CardLink.h"
#include "card/CardHandle.h"

namespace velnor {

// A card opened for changing its files, with the master file selected.
struct WritableCard {
    std::unique_ptr<CardHandle> handle;
    std::string identity; // ICCID digits, empty when the card does not give them
};

// Opens the card, selects its master file and presents the CHV1 code when the card asks for
// it; nullopt when any of that fails. The code goes only to the card that accepted it, and an
// empty code is never offered: either could only cost an attempt.
std::optional<WritableCard> openWritableCard(CUSBOpKrnl &driver, const std::string &devicePath,
                                             const CardLink &link);

} // namespace velnor
