#pragma once

#include "codec/CMyTools.h"

namespace velnor {

// What a TP-DCS octet says (GSM 03.38, 4).
struct CodingScheme {
    Alphabet alphabet = Alphabet::Gsm7;
    bool compressed = false;
    int messageClass = -1;
};

CodingScheme parseCodingScheme(uint8_t dcs);

} // namespace velnor
