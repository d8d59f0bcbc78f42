#pragma once

// Address fields of GSM 03.40, 9.1.2.5 (TP addresses) and GSM 04.11, 8.2.5.1 (the service centre).

#include "codec/ByteCursor.h"
#include "codec/CMyTools.h"

namespace velnor {

// Service-centre address: a length byte counting the octets after it, type included. A length
// of 0 or 0xFF means no address.
bool readServiceCentreAddress(ByteCursor &cursor, uint8_t &type, std::string &digits);
void appendServiceCentreAddress(Bytes &out, uint8_t type, std::string_view digits);

// TP address: a length byte counting semi-octets, the type, then the digits; an alphanumeric
// address (type of number 101) holds packed default-alphabet text.
bool readTpAddress(ByteCursor &cursor, uint8_t &type, std::string &number);
void appendTpAddress(Bytes &out, uint8_t type, std::string_view number);

} // namespace velnor
