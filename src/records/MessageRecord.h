#pragma once

// The short message record (EF_SMS, GSM 11.11, 10.5.3; on CDMA cards 3GPP2 C.S0023): a status
// byte, then the stored message.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Texts.h"
#include "codec/CMyTools.h"
#include "records/MessageStore.h"

namespace velnor {

namespace status {
inline constexpr uint8_t Read = 1;
inline constexpr uint8_t Unread = 3;
inline constexpr uint8_t Sent = 5;
inline constexpr uint8_t NotSent = 7;
} // namespace status

inline bool messageInUse(uint8_t statusByte) {
    return (statusByte & 0x01) != 0;
}
inline bool messageIsSentType(uint8_t statusByte) {
    return (statusByte & 0x04) != 0;
}

// String number of the status text of a record in use.
int statusTextId(uint8_t statusByte);

// "20YY-MM-DD hh:mm:ss" from the first six bytes of a time stamp whose digits read as hex.
std::string formatTimeStamp(const uint8_t *digits);

// The Time column of a received message; GSM time stamps are stored as swapped semi-octets
// (GSM 03.40, 9.2.3.11), CDMA ones as plain BCD.
std::string receivedTime(const SM_PARAM &param, bool cdma);

// The five cells of the message list for a record in use (`No.` from rowNumber), or nullopt for
// a free record. A message the codec cannot decode still gets its row, with empty fields, so
// that nothing on the card is hidden from the user.
std::optional<std::vector<std::string>> messageRowCells(const uint8_t *record, size_t length,
                                                        bool cdma, const Texts &texts,
                                                        size_t rowNumber);

// The store element of a record: its bytes, zero after them.
MessageImage messageImage(const uint8_t *record, size_t length);

// A free record of `length` bytes as GSM 11.11, 10.5.3 has it: status 0, the rest 0xFF.
Bytes emptyMessageRecord(size_t length);

// The service centre of the message parameters record (EF_SMSP, GSM 11.11, 10.5.6).
struct ServiceCentre {
    uint8_t typeOfAddress = 0x91;
    std::string number;
};

// Applies the parameters record of `length` bytes to `centre`: nothing changes when the record
// says no address is stored or is too short to hold one.
void readServiceCentre(const uint8_t *record, size_t length, ServiceCentre &centre);

} // namespace velnor
