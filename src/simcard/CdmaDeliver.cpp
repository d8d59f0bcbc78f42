#include "simcard/CdmaDeliver.h"

#include <algorithm>

namespace velnor {

namespace {

// Identifiers of 3GPP2 C.S0015, 3.4.3 and 4.5.
constexpr uint8_t PointToPoint = 0x00;
constexpr uint8_t TeleserviceIdentifier = 0x00;
constexpr uint8_t OriginatingAddress = 0x02;
constexpr uint8_t BearerData = 0x08;
constexpr uint8_t MessageIdentifier = 0x00;
constexpr uint8_t UserData = 0x01;
constexpr uint8_t MessageCenterTimeStamp = 0x03;
constexpr uint16_t WirelessMessaging = 4098; // CMT-95, C.S0015 3.4.3.1
constexpr unsigned DeliverType = 1;          // C.S0015, 4.5.1
constexpr unsigned Ascii7Encoding = 2;       // C.R1001, table 9.1-1
constexpr unsigned UnicodeEncoding = 4;

// Fields of any width, most significant bit first, the last byte padded with zero bits.
class BitWriter {
public:
    void write(unsigned value, unsigned width) {
        for (unsigned i = width; i-- > 0;) {
            if (bit_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if ((value >> i) & 1) {
                bytes_.back() |= static_cast<uint8_t>(0x80 >> (bit_ % 8));
            }
            ++bit_;
        }
    }
    const Bytes &bytes() const { return bytes_; }

private:
    Bytes bytes_;
    size_t bit_ = 0;
};

void appendParameter(Bytes &out, uint8_t id, const Bytes &value) {
    out.push_back(id);
    out.push_back(static_cast<uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

// DTMF digit codes (C.S0005, table 2.7.1.3.2.4-4): 1-9 as they are, 0 as 10, * 11, # 12.
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

Bytes address(const std::string &number) {
    std::string digits;
    std::copy_if(number.begin(), number.end(), std::back_inserter(digits),
                 [](char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; });
    BitWriter bits;
    bits.write(0, 1); // DIGIT_MODE: DTMF
    bits.write(0, 1); // NUMBER_MODE: not a data network address
    bits.write(static_cast<unsigned>(digits.size()), 8);
    for (char c : digits) {
        bits.write(dtmfCode(c), 4);
    }
    return bits.bytes();
}

Bytes userData(const std::string &text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    BitWriter bits;
    if (ascii) {
        bits.write(Ascii7Encoding, 5);
        bits.write(static_cast<unsigned>(text.size()), 8);
        for (char c : text) {
            bits.write(static_cast<unsigned>(c), 7);
        }
        return bits.bytes();
    }
    const Bytes ucs2 = CMyTools::gsmEncodeUcs2(text);
    bits.write(UnicodeEncoding, 5);
    bits.write(static_cast<unsigned>(ucs2.size() / 2), 8);
    for (uint8_t byte : ucs2) {
        bits.write(byte, 8);
    }
    return bits.bytes();
}

} // namespace

Bytes encodeCdmaDeliverRecord(uint8_t status, const CdmaDeliverMessage &message) {
    BitWriter identifier;
    identifier.write(DeliverType, 4);
    identifier.write(message.messageId, 16);
    identifier.write(0, 1); // HEADER_IND
    identifier.write(0, 3); // reserved
    Bytes bearer;
    appendParameter(bearer, MessageIdentifier, identifier.bytes());
    appendParameter(bearer, UserData, userData(message.text));
    appendParameter(bearer, MessageCenterTimeStamp,
                    Bytes(message.timeStamp.begin(), message.timeStamp.end()));

    Bytes transport{PointToPoint};
    appendParameter(transport, TeleserviceIdentifier,
                    {WirelessMessaging >> 8, WirelessMessaging & 0xFF});
    appendParameter(transport, OriginatingAddress, address(message.originator));
    appendParameter(transport, BearerData, bearer);

    Bytes record(2 + transport.size());
    record[0] = status;
    record[1] = static_cast<uint8_t>(transport.size());
    std::copy(transport.begin(), transport.end(), record.begin() + 2);
    return record;
}

} // namespace velnor
