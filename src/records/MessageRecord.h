#pragma once

// The short message record (EF_SMS, GSM 11.11, 10.5.3; on CDMA cards 3GPP2 C.S0023): a status
// byte, then the stored message.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Texts.h"
#include "codec/CMyTools.h"
#include "codec/MessageStatus.h"
#include "records/MessageStore.h"

namespace velnor {

// String number of the status text of a record in use.
int statusTextId(uint8_t statusByte);

// "20YY-MM-DD hh:mm:ss" from the first six bytes of a time stamp whose digits read as hex.
std::string formatTimeStamp(const uint8_t *digits);

// The Time column of a received message; GSM time stamps are stored as swapped semi-octets
// (GSM 03.40, 9.2.3.11), CDMA ones as plain BCD.
std::string receivedTime(const SM_PARAM &param, bool cdma);

// Decodes the stored message after the status byte, as a GSM or a CDMA record.
bool decodeMessageRecord(const uint8_t *record, size_t length, bool cdma, SM_PARAM &param);

// The five cells of the message list for a record in use (`No.` from rowNumber), or nullopt for
// a free record. A message the codec cannot decode still gets its row, with empty fields, so
// that nothing on the card is hidden from the user.
std::optional<std::vector<std::string>> messageRowCells(const uint8_t *record, size_t length,
                                                        bool cdma, const Texts &texts,
                                                        size_t rowNumber);

// The store element of a record: its bytes, zero after them.
MessageImage messageImage(const uint8_t *record, size_t length);

} // namespace velnor
