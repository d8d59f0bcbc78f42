// A CDMA card's EF_SMS record (3GPP2 C.S0023, 3.4.27): MSG_LEN and an SMS transport layer
// message (C.S0015, 3.4) whose bearer data (C.S0015, 4.5) holds the text.

#include "base/Utf8.h"
#include "codec/BitStream.h"
#include "codec/ByteCursor.h"
#include "codec/CMyTools.h"
#include "codec/CdmaFields.h"
#include "codec/GsmAlphabet.h"
#include "codec/SmParamReset.h"

#include <cstring>

namespace velnor {

namespace {

constexpr size_t kTimeStampLength = 6;
constexpr uint8_t kInternationalType = 0x91;
constexpr uint8_t kUnknownType = 0x81;

// DTMF digit codes of C.S0005, table 2.7.1.3.2.4-4; 0 and 13 to 15 are not digits.
char dtmfChar(unsigned code) {
    constexpr char kDigits[] = "?1234567890*#";
    return code >= 1 && code <= 12 ? kDigits[code] : '\0';
}

// C.S0015, 3.4.3.3.
bool readAddress(const uint8_t *data, size_t size, SM_PARAM &param) {
    BitReader bits(data, size);
    unsigned digitMode = 0;
    unsigned numberMode = 0;
    unsigned numberType = cdma::kNumberTypeUnknown;
    unsigned numberPlan = 0;
    unsigned fields = 0;
    if (!bits.read(1, digitMode) || !bits.read(1, numberMode)) {
        return false;
    }
    if (digitMode == 1 && !bits.read(3, numberType)) {
        return false;
    }
    if (digitMode == 1 && numberMode == 0 && !bits.read(4, numberPlan)) {
        return false;
    }
    if (!bits.read(8, fields)) {
        return false;
    }
    const bool international =
        digitMode == 1 && numberMode == 0 && numberType == cdma::kNumberTypeInternational;
    param.numberType = international ? kInternationalType : kUnknownType;
    param.number.clear();
    for (unsigned i = 0; i < fields; ++i) {
        unsigned value = 0;
        if (!bits.read(digitMode == 1 ? 8 : 4, value)) {
            return false;
        }
        if (digitMode == 0) {
            if (const char c = dtmfChar(value)) {
                param.number.push_back(c);
            }
        } else if (!(international && i == 0 && value == '+')) {
            appendUtf8(param.number, value);
        }
    }
    return true;
}

// C.S0015, 4.5.2; the characters are read as the encoding gives them.
bool readUserData(const uint8_t *data, size_t size, SM_PARAM &param) {
    BitReader bits(data, size);
    unsigned encoding = 0;
    unsigned fields = 0;
    if (!bits.read(5, encoding) || !bits.read(8, fields)) {
        return false;
    }
    unsigned width = 0;
    switch (encoding) {
    case cdma::kEncodingOctet:
    case cdma::kEncodingLatin:
        width = 8;
        break;
    case cdma::kEncodingAscii7:
    case cdma::kEncodingIa5:
    case cdma::kEncodingGsm7:
        width = 7;
        break;
    case cdma::kEncodingUnicode:
        width = 16;
        break;
    default:
        // IS-91, the Asian and Hebrew code pages and GSM coding schemes are not supported.
        return false;
    }
    Bytes chars;
    chars.reserve(fields * 2);
    for (unsigned i = 0; i < fields; ++i) {
        unsigned value = 0;
        if (!bits.read(width, value)) {
            return false;
        }
        if (width == 16) {
            chars.push_back(static_cast<uint8_t>(value >> 8));
        }
        chars.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    switch (encoding) {
    case cdma::kEncodingUnicode:
        param.text = CMyTools::gsmDecodeUcs2(chars.data(), chars.size());
        break;
    case cdma::kEncodingGsm7:
        param.text.clear();
        appendGsmText(chars.data(), chars.size(), param.text);
        break;
    default: // ASCII and IA5 are subsets of ISO-8859-1
        param.text = latin1ToUtf8(chars.data(), chars.size());
        break;
    }
    return true;
}

bool readSubparameter(uint8_t id, const uint8_t *data, size_t size, SM_PARAM &param) {
    switch (id) {
    case cdma::kMessageIdentifier: {
        BitReader bits(data, size);
        unsigned type = 0;
        unsigned messageId = 0;
        if (!bits.read(4, type) || !bits.read(16, messageId)) {
            return false;
        }
        param.cdmaMessageId = static_cast<uint16_t>(messageId);
        return true;
    }
    case cdma::kUserData:
        return readUserData(data, size, param);
    case cdma::kMessageCenterTimeStamp:
        if (size < kTimeStampLength) {
            return false;
        }
        // Already BCD digits in reading order (YY MM DD HH MM SS).
        std::memcpy(param.timeStamp, data, kTimeStampLength);
        return true;
    default:
        return true;
    }
}

bool readBearerData(const uint8_t *data, size_t size, SM_PARAM &param) {
    ByteCursor cursor(data, size);
    while (cursor.remaining() > 0) {
        uint8_t id = 0;
        uint8_t length = 0;
        if (!cursor.readByte(id) || !cursor.readByte(length)) {
            return false;
        }
        const uint8_t *value = cursor.readBytes(length);
        if (value == nullptr || !readSubparameter(id, value, length, param)) {
            return false;
        }
    }
    return true;
}

bool decode(const uint8_t *bytes, size_t count, SM_PARAM &param, bool received) {
    ByteCursor record(bytes, count);
    uint8_t messageLength = 0;
    if (!record.readByte(messageLength) || messageLength == 0) {
        return false;
    }
    const uint8_t *message = record.readBytes(messageLength);
    if (message == nullptr) {
        return false;
    }
    ByteCursor cursor(message, messageLength);
    uint8_t messageType = 0;
    cursor.readByte(messageType);
    if (messageType != cdma::kPointToPoint && messageType != cdma::kBroadcast) {
        return false;
    }
    const uint8_t wantedAddress = received ? cdma::kOriginatingAddress : cdma::kDestinationAddress;
    while (cursor.remaining() > 0) {
        uint8_t id = 0;
        uint8_t length = 0;
        if (!cursor.readByte(id) || !cursor.readByte(length)) {
            return false;
        }
        const uint8_t *value = cursor.readBytes(length);
        if (value == nullptr) {
            return false;
        }
        if (id == wantedAddress && !readAddress(value, length, param)) {
            return false;
        }
        if (id == cdma::kBearerData && !readBearerData(value, length, param)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool CMyTools::cdmaDecodePdu(const uint8_t *bytes, size_t count, SM_PARAM &param, bool received) {
    resetParam(param);
    if (!decode(bytes, count, param, received)) {
        resetParam(param);
        return false;
    }
    return true;
}

} // namespace velnor
