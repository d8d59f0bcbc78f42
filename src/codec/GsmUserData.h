#pragma once

// TP-UDL and TP-UD with an optional user data header (GSM 03.40, 9.2.3.16 and 9.2.3.24).

#include "codec/ByteCursor.h"
#include "codec/GsmDcs.h"

namespace velnor {

// Reads the user data length and the user data; fills text, userDataHeader and concat.
bool readUserData(ByteCursor &cursor, bool hasHeader, const CodingScheme &scheme, SM_PARAM &param);

// Appends TP-UDL and TP-UD for text in the given alphabet, cutting the text at a character
// boundary so that the user data takes at most maxOctets octets.
void appendUserData(Bytes &out, std::string_view text, Alphabet alphabet, size_t maxOctets);

} // namespace velnor
