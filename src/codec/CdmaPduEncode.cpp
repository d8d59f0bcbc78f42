// A CDMA card's EF_SMS record image (3GPP2 C.S0023, 3.4.27) for a message to send: a
// point-to-point SMS transport layer message (C.S0015, 3.4.2.1) of the wireless messaging
// teleservice with a destination address and bearer data of a submit.

#include "base/Utf8.h"
#include "codec/BitStream.h"
#include "codec/CMyTools.h"
#include "codec/CdmaDeliver.h"
#include "codec/CdmaFields.h"
#include "codec/TextUsage.h"

#include <algorithm>

namespace velnor {

namespace {

constexpr uint8_t kNotYetSent = 0x07;
constexpr size_t kMaxNumberLength = 32;

bool isDtmfDigits(std::string_view number) {
    return std::all_of(number.begin(), number.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; });
}

unsigned dtmfCode(char c) {
    switch (c) {
    case '0':
        return 10;
    case '*':
        return 11;
    case '#':
        return 12;
    default:
        return static_cast<unsigned>(c - '0');
    }
}

// C.S0015, 3.4.3.3: DTMF digits when the number allows, else ASCII characters with the type of
// number (international after a leading "+").
Bytes addressField(std::string_view number) {
    const bool international = !number.empty() && number.front() == '+';
    if (international) {
        number.remove_prefix(1);
    }
    number = number.substr(0, kMaxNumberLength);
    BitWriter bits;
    if (!international && isDtmfDigits(number)) {
        bits.write(0, 1); // DIGIT_MODE: 4-bit DTMF
        bits.write(0, 1); // NUMBER_MODE: telephone number
        bits.write(static_cast<unsigned>(number.size()), 8);
        for (const char c : number) {
            bits.write(dtmfCode(c), 4);
        }
        return bits.bytes();
    }
    std::string ascii;
    size_t pos = 0;
    while (pos < number.size()) {
        const char32_t cp = nextCodePoint(number, pos);
        ascii.push_back(cp < 0x80 ? static_cast<char>(cp) : '?');
    }
    bits.write(1, 1);
    bits.write(0, 1);
    bits.write(international ? cdma::kNumberTypeInternational : cdma::kNumberTypeUnknown, 3);
    bits.write(cdma::kNumberPlanTelephony, 4);
    bits.write(static_cast<unsigned>(ascii.size()), 8);
    for (const char c : ascii) {
        bits.write(static_cast<unsigned char>(c), 8);
    }
    return bits.bytes();
}

// A message identifier from the text and number (FNV-1a), never 0.
uint16_t messageIdOf(std::string_view text, std::string_view number) {
    uint32_t hash = 2166136261u;
    for (const std::string_view part : {text, number}) {
        for (const char c : part) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        }
    }
    return static_cast<uint16_t>(hash % 0xFFFF + 1);
}

// C.S0015, 4.5.2: the text in the coding cdmaTextUsage chooses, as many whole characters as one
// message holds in roomOctets.
Bytes userDataField(std::string_view text, size_t roomOctets) {
    const SmsTextUsage usage = cdmaTextUsageInRoom(text, roomOctets);
    const unsigned bits = cdmaCharacterBits(usage.coding);
    BitWriter writer;
    if (usage.coding == SmsCoding::Utf16) {
        const Bytes utf16 = CMyTools::gsmEncodeUcs2(text);
        size_t units = std::min(utf16.size() / 2, usage.capacity);
        if (units > 0 && units < utf16.size() / 2 && (utf16[2 * units - 2] & 0xFC) == 0xD8) {
            --units; // never keep half of a surrogate pair
        }
        writer.write(cdma::kEncodingUnicode, 5);
        writer.write(static_cast<unsigned>(units), 8);
        for (size_t i = 0; i < units; ++i) {
            writer.write(static_cast<unsigned>(utf16[2 * i] << 8 | utf16[2 * i + 1]), bits);
        }
        return writer.bytes();
    }
    std::vector<char32_t> chars;
    size_t pos = 0;
    while (pos < text.size() && chars.size() < usage.capacity) {
        chars.push_back(nextCodePoint(text, pos));
    }
    writer.write(usage.coding == SmsCoding::Ascii7 ? cdma::kEncodingAscii7 : cdma::kEncodingLatin,
                 5);
    writer.write(static_cast<unsigned>(chars.size()), 8);
    for (const char32_t c : chars) {
        writer.write(static_cast<unsigned>(c), bits);
    }
    return writer.bytes();
}

void appendParameter(Bytes &out, uint8_t id, const Bytes &value) {
    out.push_back(id);
    out.push_back(static_cast<uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

// The start of a record of one point-to-point message of the wireless messaging teleservice:
// status, MSG_LEN (filled in at the end) and the peer's address under addressId.
Bytes recordHead(uint8_t status, uint8_t addressId, std::string_view number) {
    Bytes record = {status, 0, cdma::kPointToPoint};
    appendParameter(record, cdma::kTeleserviceId,
                    {cdma::kWirelessMessaging >> 8, cdma::kWirelessMessaging & 0xFF});
    appendParameter(record, addressId, addressField(number));
    return record;
}

// The message identifier subparameter: identifier, length and three bytes (C.S0015, 4.5.1).
constexpr size_t kMessageIdentifierSize = 5;

// What a record of recordLength bytes leaves for the value of the user data subparameter after
// the head, the bearer data's identifier and length, the message identifier, the user data's
// own identifier and length, and a time stamp parameter of stampSize bytes.
size_t userDataRoom(size_t headSize, size_t stampSize, size_t recordLength) {
    const size_t length = std::min(recordLength, CMyTools::kCdmaRecordLength);
    const size_t taken = headSize + 2 + kMessageIdentifierSize + 2 + stampSize;
    return length > taken ? length - taken : 0;
}

// The record of one message: the head, then bearer data with the message identifier, the user
// data cut to the room left in the record, and a time stamp when one is given.
Bytes messageRecord(uint8_t status, uint8_t addressId, std::string_view number,
                    unsigned messageType, uint16_t messageId, std::string_view text,
                    const std::array<uint8_t, 6> *timeStamp, size_t recordLength) {
    Bytes record = recordHead(status, addressId, number);

    BitWriter identifier;
    identifier.write(messageType, 4);
    identifier.write(messageId, 16);
    identifier.write(0, 1); // HEADER_IND
    identifier.write(0, 3); // reserved
    Bytes bearer;
    appendParameter(bearer, cdma::kMessageIdentifier, identifier.bytes());

    const size_t stampSize = timeStamp != nullptr ? 2 + timeStamp->size() : 0;
    appendParameter(bearer, cdma::kUserData,
                    userDataField(text, userDataRoom(record.size(), stampSize, recordLength)));
    if (timeStamp != nullptr) {
        appendParameter(bearer, cdma::kMessageCenterTimeStamp,
                        Bytes(timeStamp->begin(), timeStamp->end()));
    }
    appendParameter(record, cdma::kBearerData, bearer);
    record[1] = static_cast<uint8_t>(record.size() - 2);
    return record;
}

} // namespace

Bytes CMyTools::encodesms(std::string_view text, std::string_view number, size_t recordLength) {
    return messageRecord(kNotYetSent, cdma::kDestinationAddress, number, cdma::kSubmitMessage,
                         messageIdOf(text, number), text, nullptr, recordLength);
}

SmsTextUsage cdmaTextUsage(std::string_view text, std::string_view number, size_t recordLength) {
    const size_t headSize = recordHead(kNotYetSent, cdma::kDestinationAddress, number).size();
    return cdmaTextUsageInRoom(text, userDataRoom(headSize, 0, recordLength));
}

Bytes encodeCdmaDeliverRecord(uint8_t status, const CdmaDeliverMessage &message) {
    return messageRecord(status, cdma::kOriginatingAddress, message.originator,
                         cdma::kDeliverMessage, message.messageId, message.text, &message.timeStamp,
                         CMyTools::kCdmaRecordLength);
}

} // namespace velnor
