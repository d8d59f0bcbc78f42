// The stored short message of a GSM card: service-centre address (GSM 04.11, 8.2.5.1) and an
// SMS-DELIVER or SMS-SUBMIT TPDU (GSM 03.40, 9.2.2.1 and 9.2.2.2).

#include "codec/CMyTools.h"
#include "codec/GsmAddress.h"
#include "codec/GsmUserData.h"
#include "codec/SmParamReset.h"

#include <cstring>

namespace velnor {

namespace {

constexpr uint8_t kMessageTypeMask = 0x03;
constexpr uint8_t kDeliver = 0x00;
constexpr uint8_t kSubmit = 0x01;
constexpr uint8_t kReservedType = 0x03; // read as SMS-DELIVER (GSM 03.40, 9.2.3.1)
constexpr uint8_t kUserDataHeaderIndicator = 0x40;
constexpr uint8_t kValidityFormatMask = 0x18;
constexpr uint8_t kValidityNone = 0x00;
constexpr uint8_t kValidityRelative = 0x10;
constexpr size_t kTimeStampLength = 7;
constexpr size_t kLongValidityLength = 7; // enhanced and absolute formats

// A submit as this codec composes it: validity period present in relative format.
constexpr uint8_t kComposedFirstOctet = kSubmit | kValidityRelative;
constexpr uint8_t kOneDay = 0xA7;        // GSM 03.40, 9.2.3.12.1: (167 - 143) * 30 min + 12 h
constexpr size_t kMaxStoredLength = 175; // a 176-byte record less its status byte

bool readValidityPeriod(ByteCursor &cursor, uint8_t firstOctet, Bytes &validity) {
    const uint8_t format = firstOctet & kValidityFormatMask;
    if (format == kValidityNone) {
        return true;
    }
    const size_t length = format == kValidityRelative ? 1 : kLongValidityLength;
    const uint8_t *bytes = cursor.readBytes(length);
    if (bytes == nullptr) {
        return false;
    }
    validity.assign(bytes, bytes + length);
    return true;
}

bool decode(ByteCursor &cursor, SM_PARAM &param, bool received) {
    if (!readServiceCentreAddress(cursor, param.smscType, param.smsc) ||
        !cursor.readByte(param.firstOctet)) {
        return false;
    }
    const uint8_t messageType = param.firstOctet & kMessageTypeMask;
    if (received ? (messageType != kDeliver && messageType != kReservedType)
                 : messageType != kSubmit) {
        return false;
    }
    if (!received && !cursor.readByte(param.messageReference)) {
        return false;
    }
    if (!readTpAddress(cursor, param.numberType, param.number) || !cursor.readByte(param.pid) ||
        !cursor.readByte(param.dcs)) {
        return false;
    }
    const CodingScheme scheme = parseCodingScheme(param.dcs);
    if (scheme.compressed) {
        // GSM 03.42 compression is not supported: such a message cannot be shown.
        return false;
    }
    param.messageClass = scheme.messageClass;
    if (received) {
        const uint8_t *timeStamp = cursor.readBytes(kTimeStampLength);
        if (timeStamp == nullptr) {
            return false;
        }
        std::memcpy(param.timeStamp, timeStamp, kTimeStampLength);
    } else if (!readValidityPeriod(cursor, param.firstOctet, param.validityPeriod)) {
        return false;
    }
    return readUserData(cursor, (param.firstOctet & kUserDataHeaderIndicator) != 0, scheme, param);
}

} // namespace

bool CMyTools::gsmDecodePdu(const uint8_t *bytes, size_t count, SM_PARAM &param, bool received) {
    resetParam(param);
    ByteCursor cursor(bytes, count);
    if (!decode(cursor, param, received)) {
        resetParam(param);
        return false;
    }
    return true;
}

size_t CMyTools::gsmPduLength(const uint8_t *bytes, size_t count, bool received) {
    SM_PARAM param;
    ByteCursor cursor(bytes, count);
    return decode(cursor, param, received) ? count - cursor.remaining() : count;
}

Bytes CMyTools::gsmEncodePdu(const SM_PARAM &param) {
    Bytes out;
    out.reserve(kMaxStoredLength + 1);
    appendServiceCentreAddress(out, param.smscType, param.smsc);
    out.push_back(kComposedFirstOctet);
    out.push_back(0); // TP-MR: the handset sets it when sending
    appendTpAddress(out, param.numberType, param.number);
    out.push_back(0); // TP-PID: plain short message
    uint8_t dcs = param.dcs;
    if ((dcs & 0x80) == 0) {
        dcs &= static_cast<uint8_t>(~0x20); // the text is never compressed
    }
    out.push_back(dcs);
    out.push_back(kOneDay);
    const size_t room = kMaxStoredLength - out.size() - 1; // less the TP-UDL byte
    appendUserData(out, param.text, parseCodingScheme(dcs).alphabet, room);
    return out;
}

} // namespace velnor
