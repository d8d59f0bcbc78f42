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
    const size_t size =
        CMyTools::gsmPduLength(record.data() + 1, record.size() - 1, !messageIsSentType(record[0]));
    return StoredMessage{record[0], Bytes(record.begin() + 1, record.begin() + 1 + size)};
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

// pySim publishes no vectors for these files; these are records of the demo card, with some
// filler after the message.
namespace {

StoredMessage message(uint8_t statusByte, const char *hex) {
    return {statusByte, *CMyTools::asc2hex(hex)};
}

} // namespace

const std::vector<FileVector<EfSms::Value>> &EfSms::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        // A submit in the default alphabet.
        {"05079194710167000011000D91947116325476F80000A712D37219947FD741613A0807A2A3CBEE10FFFF",
         message(status::Sent, "079194710167000011000D91947116325476F80000A712D37219947FD741613A"
                               "0807A2A3CBEE10")},
        // A deliver in UCS2 whose last character ends in 0xFF 0x1F.
        {"030791947101670000040D91683118325476F80008423051615402231C4F60597DFF0C660E59294E0B5348"
         "4E0970B989C19762597D5417FF1FFFFF",
         message(status::Unread, "0791947101670000040D91683118325476F80008423051615402231C4F6059"
                                 "7DFF0C660E59294E0B53484E0970B989C19762597D5417FF1F")},
        {"00FFFFFFFFFFFFFFFF", std::nullopt},
    };
    return vectors;
}

const std::vector<FileVector<EfCdmaSms::Value>> &EfCdmaSms::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        {"03370000021002020702C4E048D159E0082700031000200118205A7B02CBEFF80AA343395A70046BBAA01CCB"
         "6AA0BFF8F80306240316190512FFFF",
         message(status::Unread, "0000021002020702C4E048D159E0082700031000200118205A7B02CBEFF80A"
                                 "A343395A70046BBAA01CCB6AA0BFF8F80306240316190512")},
        {"00FFFF", std::nullopt},
    };
    return vectors;
}

} // namespace velnor
