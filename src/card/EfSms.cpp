#include "card/EfSms.h"

#include <algorithm>

namespace velnor {

namespace {

// The record of `length` bytes: the status byte, then `head` (the CDMA length byte) and the
// stored message as far as they fit, 0xFF after them.
Bytes messageRecord(const std::optional<StoredMessage> &message, const Bytes &head, size_t length) {
    Bytes record{message ? message->status : status::Free};
    if (message) {
        record.insert(record.end(), head.begin(), head.end());
        record.insert(record.end(), message->stored.begin(), message->stored.end());
    }
    record.resize(length, 0xFF);
    return record;
}

} // namespace

EfSms::Value EfSms::decode(std::span<const uint8_t> record) {
    if (record.empty() || !messageInUse(record[0])) {
        return std::nullopt;
    }
    return StoredMessage{record[0], Bytes(record.begin() + 1, record.end())};
}

Bytes EfSms::encode(const Value &message, size_t length) {
    return messageRecord(message, {}, length);
}

EfCdmaSms::Value EfCdmaSms::decode(std::span<const uint8_t> record) {
    if (record.size() < 2 || !messageInUse(record[0])) {
        return std::nullopt;
    }
    const size_t size = std::min<size_t>(record[1], record.size() - 2);
    return StoredMessage{record[0], Bytes(record.begin() + 2, record.begin() + 2 + size)};
}

Bytes EfCdmaSms::encode(const Value &message, size_t length) {
    const uint8_t size = message ? static_cast<uint8_t>(message->stored.size()) : 0;
    return messageRecord(message, {size}, length);
}

// pySim publishes no vectors for these files; these are records of the demo card.
const std::vector<FileVector<EfSms::Value>> &EfSms::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        {"05079194710167000011000D91947116325476F80000A712D37219947FD741613A0807A2A3CBEE10",
         StoredMessage{status::Sent,
                       *CMyTools::asc2hex("079194710167000011000D91947116325476F80000A712D37219"
                                          "947FD741613A0807A2A3CBEE10")}},
        {"00FFFFFFFFFFFFFFFF", std::nullopt},
    };
    return vectors;
}

const std::vector<FileVector<EfCdmaSms::Value>> &EfCdmaSms::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        {"03370000021002020702C4E048D159E0082700031000200118205A7B02CBEFF80AA343395A70046BBAA01CCB"
         "6AA0BFF8F80306240316190512FFFF",
         StoredMessage{status::Unread,
                       *CMyTools::asc2hex("0000021002020702C4E048D159E0082700031000200118205A7B"
                                          "02CBEFF80AA343395A70046BBAA01CCB6AA0BFF8F803062403161"
                                          "90512")}},
        {"00FFFF", std::nullopt},
    };
    return vectors;
}

} // namespace velnor
