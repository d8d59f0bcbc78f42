#pragma once

// The alpha identifier of the card's files (GSM 11.11, Annex B): a name in the GSM 7-bit
// alphabet, or UCS2 after 0x80, or one-byte characters above a base after 0x81 or 0x82.

#include <cstdint>
#include <string>

#include "codec/CMyTools.h"

namespace velnor {

// The name an alpha field of `length` bytes holds, without the 0xFF filler.
std::string decodeAlphaIdentifier(const uint8_t *alpha, size_t length);

// The alpha identifier bytes the name gets, before any cut to the alpha field: the first coding
// that fits of GSM 7-bit, 0x81, 0x82 and 0x80 (as ucs2Storable has it); 0x81 and 0x82 only
// when the card keeps them.
Bytes encodeAlphaIdentifier(const std::string &name, bool ucs82Unsupported);

} // namespace velnor
