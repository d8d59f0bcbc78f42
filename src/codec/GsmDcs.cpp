#include "codec/GsmDcs.h"

namespace velnor {

namespace {

Alphabet alphabetOfGeneralGroup(uint8_t dcs) {
    switch ((dcs >> 2) & 0x03) {
    case 1:
        return Alphabet::Octet;
    case 2:
        return Alphabet::Ucs2;
    default:
        // 11 is reserved; reserved codings are read as the default alphabet.
        return Alphabet::Gsm7;
    }
}

} // namespace

CodingScheme parseCodingScheme(uint8_t dcs) {
    CodingScheme scheme;
    switch (dcs >> 4) {
    case 0x0:
    case 0x1:
    case 0x2:
    case 0x3:
    case 0x4: // 01xx: the same bits, with the message marked for automatic deletion
    case 0x5:
    case 0x6:
    case 0x7:
        scheme.alphabet = alphabetOfGeneralGroup(dcs);
        scheme.compressed = (dcs & 0x20) != 0;
        if (dcs & 0x10) {
            scheme.messageClass = dcs & 0x03;
        }
        break;
    case 0xC: // message waiting, discard message
    case 0xD: // message waiting, store message
        scheme.alphabet = Alphabet::Gsm7;
        break;
    case 0xE: // message waiting, store message, UCS2
        scheme.alphabet = Alphabet::Ucs2;
        break;
    case 0xF: // data coding and message class
        scheme.alphabet = (dcs & 0x04) ? Alphabet::Octet : Alphabet::Gsm7;
        scheme.messageClass = dcs & 0x03;
        break;
    default: // 1000..1011 reserved: the default alphabet
        scheme.alphabet = Alphabet::Gsm7;
        break;
    }
    return scheme;
}

} // namespace velnor
