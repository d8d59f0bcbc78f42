#include "card/EfSms.h"

#include <algorithm>

namespace velnor {

MessageRecordFile::Value MessageRecordFile::decode(std::span<const uint8_t> record) {
    if (record.empty() || !messageInUse(record[0])) {
        return std::nullopt;
    }
    return StoredMessage{record[0], Bytes(record.begin() + 1, record.end())};
}

Bytes MessageRecordFile::encode(const Value &message, size_t length) {
    Bytes record(length, 0xFF);
    if (length == 0) {
        return record;
    }
    record[0] = message ? message->status : status::Free;
    if (message) {
        std::copy_n(message->stored.begin(), std::min(message->stored.size(), length - 1),
                    record.begin() + 1);
    }
    return record;
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
                       *CMyTools::asc2hex("370000021002020702C4E048D159E0082700031000200118205A7B"
                                          "02CBEFF80AA343395A70046BBAA01CCB6AA0BFF8F803062403161"
                                          "90512FFFF")}},
        {"00FFFF", std::nullopt},
    };
    return vectors;
}

} // namespace velnor
