#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velnor {

// The reader as the window knows it.
struct ReaderState {
    std::string devicePath;
    bool readerPresent = false;
    bool readerCdmaCapable = false; // version byte 0xB0 with version value 0x0208
    bool chv1Pending = true;        // the card's PIN still has to be entered
    std::string lastIdentity;       // ICCID digits of the card last opened; empty after removal
};

// A GSM SIM (GSM 11.11, class A0), a UICC with a USIM that answers class A0 as well, or a USIM
// only: a UICC that answers class 00 alone (TS 102 221).
enum class CardKind { GsmSim, UiccWithUsim, UsimOnly };

// What every card operation needs to reach the card: the reader function, the CHV1 code the
// card accepted and whose card that was, and whether it is a CDMA card.
struct CardLink {
    uint8_t simFunction = 0;
    std::string chv1Code;
    std::string chv1CodeOwner; // identity of the card that accepted chv1Code
    bool isCdmaCard = false;
    CardKind cardKind = CardKind::GsmSim; // a UICC's PIN goes by class 00 to its USIM
    std::vector<uint8_t> usimAid;
};

} // namespace velnor
