#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "virtualcard/CardFileSystem.h"
#include "virtualcard/ChvState.h"

namespace velnor {

// Ways a card can be made to misbehave, for tests.
struct CardQuirks {
    // An UPDATE RECORD of a phonebook record in the 0x82 name coding is answered 9000, but the
    // card keeps 0xFF bytes in place of the name.
    bool drops82Coding = false;
    // From this command on (counting from 1 since power-on) the card no longer answers; 0: never.
    // The answer to reset is not affected, and a new power-on counts from 1 again.
    unsigned failAfterCommands = 0;
    // Only this command gets no answer; 0: none.
    unsigned failAtCommand = 0;
    // This command is carried out but its answer never arrives, as when a card is pulled while
    // it answers; 0: none.
    unsigned loseAnswerAtCommand = 0;
    // No card in the reader: no answer to reset, no answer to any command.
    bool pulled = false;
    // Every answer comes this many milliseconds late, as from a slow card or reader; 0: at once.
    unsigned answerDelayMs = 0;

    bool operator==(const CardQuirks &) const = default;
};

// What makes a card a UICC (TS 102 221): it answers class 00, and holds a USIM application
// under this AID, its ADF reached as 7FFF. With classA0 it also answers the GSM commands.
struct UiccSettings {
    bool classA0 = true;
    Bytes aid;

    bool operator==(const UiccSettings &) const = default;
};

// Everything a card is made of: what a profile file describes and what it keeps. A UICC's PIN1
// is chv1: the GSM view and the USIM share the one code.
struct CardProfile {
    Bytes atr;
    ChvState::Settings chv1;
    CardFileSystem files;
    CardQuirks quirks;
    std::optional<UiccSettings> uicc;
};

// The answer to reset of the demo card and of profiles that give none.
inline constexpr std::string_view DefaultAtrHex = "3B9F95801FC78031E073FE211B63E208A88300900086";

} // namespace velnor
