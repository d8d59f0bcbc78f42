#include "virtualcard/AnswerToReset.h"

#include <bit>

namespace velnor {

std::string answerToResetFault(const Bytes &atr) {
    if (atr.size() < 2 || atr.size() > 33 || (atr[0] != 0x3B && atr[0] != 0x3F)) {
        return "is not an answer to reset (2 to 33 bytes starting with 3B or 3F)";
    }
    const size_t historical = atr[1] & 0x0F;
    // Each indicator's high nibble says which of TAi, TBi, TCi, TDi follow; TDi names a
    // protocol. TCK is there unless T=0 is the only protocol named.
    size_t at = 2;
    bool checkByte = false;
    for (uint8_t indicator = atr[1];;) {
        at += static_cast<size_t>(std::popcount(static_cast<unsigned>(indicator & 0x70)));
        if (!(indicator & 0x80)) {
            break;
        }
        if (at >= atr.size()) {
            return "ends inside its interface bytes";
        }
        indicator = atr[at++];
        checkByte = checkByte || (indicator & 0x0F) != 0;
    }
    const size_t expected = at + historical + (checkByte ? 1 : 0);
    if (expected != atr.size()) {
        return "announces " + std::to_string(historical) + " historical bytes" +
               (checkByte ? " and the check byte TCK" : "") + " in " + std::to_string(expected) +
               " bytes, but holds " + std::to_string(atr.size());
    }
    uint8_t sum = 0;
    for (size_t i = 1; i < atr.size(); ++i) {
        sum ^= atr[i];
    }
    if (checkByte && sum != 0) {
        return "has a check byte TCK that does not make the exclusive-or of T0 to TCK zero";
    }
    return {};
}

} // namespace velnor
