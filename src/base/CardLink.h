#pragma once

#include <cstdint>
#include <string>

namespace velnor {

// The reader as the window knows it.
struct ReaderState {
    std::string devicePath;
    bool readerPresent = false;
    bool readerCdmaCapable = false; // version byte 0xB0 with version value 0x0208
    bool chv1Pending = true;        // the card's PIN still has to be entered
    std::string lastIdentity;       // ICCID digits of the card last opened; empty after removal
};

// What every card operation needs to reach the card: the reader function, the CHV1 code the
// card accepted and whose card that was, and whether it is a CDMA card.
struct CardLink {
    uint8_t simFunction = 0;
    std::string chv1Code;
    std::string chv1CodeOwner; // identity of the card that accepted chv1Code
    bool isCdmaCard = false;
};

} // namespace velnor
