#include "virtualcard/SmsDeliver.h"

#include "codec/GsmAlphabet.h"

namespace velnor {

namespace {

constexpr uint8_t DeliverNoMoreMessages = 0x04; // TP-MTI 00, TP-MMS set (GSM 03.40, 9.2.2.1)
constexpr uint8_t UserDataHeaderIndicator = 0x40;
constexpr uint8_t AlphanumericType = 0xD0;
constexpr uint8_t Ucs2Dcs = 0x08;

uint8_t swappedBcd(int value) {
    return static_cast<uint8_t>((value % 10) << 4 | (value / 10) % 10);
}

// Septets packed after skipSeptets septets of zero bits, the room of a user data header.
Bytes packedSeptets(const Bytes &septets, size_t skipSeptets = 0) {
    Bytes packed(((skipSeptets + septets.size()) * 7 + 7) / 8);
    packSeptets(septets.data(), septets.size(), skipSeptets * 7, packed.data());
    return packed;
}

// GSM 03.40, 9.1.2.5: the length counts semi-octets of the address value.
void appendOriginator(Bytes &out, uint8_t type, const std::string &value) {
    if (type == AlphanumericType) {
        const Bytes septets = CMyTools::asc2gsm(value);
        const Bytes packed = packedSeptets(septets);
        out.push_back(static_cast<uint8_t>((septets.size() * 7 + 3) / 4));
        out.push_back(type);
        out.insert(out.end(), packed.begin(), packed.end());
        return;
    }
    const Bytes digits = CMyTools::asc2bcd(value);
    const bool oddFiller = !digits.empty() && (digits.back() & 0xF0) == 0xF0;
    out.push_back(static_cast<uint8_t>(digits.size() * 2 - (oddFiller ? 1 : 0)));
    out.push_back(type);
    out.insert(out.end(), digits.begin(), digits.end());
}

// GSM 04.11, 8.2.5.2: the length counts octets, the type included.
void appendServiceCentre(Bytes &out, uint8_t type, const std::string &digits) {
    if (digits.empty()) {
        out.push_back(0);
        return;
    }
    const Bytes bcd = CMyTools::asc2bcd(digits);
    out.push_back(static_cast<uint8_t>(bcd.size() + 1));
    out.push_back(type);
    out.insert(out.end(), bcd.begin(), bcd.end());
}

} // namespace

std::array<uint8_t, 7> serviceCentreTimeStamp(int year, int month, int day, int hour, int minute,
                                              int second, int zoneQuarterHours) {
    std::array<uint8_t, 7> stamp{
        swappedBcd(year % 100),
        swappedBcd(month),
        swappedBcd(day),
        swappedBcd(hour),
        swappedBcd(minute),
        swappedBcd(second),
        swappedBcd(zoneQuarterHours < 0 ? -zoneQuarterHours : zoneQuarterHours)};
    if (zoneQuarterHours < 0) {
        stamp[6] |= 0x08; // the sign bit sits in the swapped semi-octet (GSM 03.40, 9.2.3.11)
    }
    return stamp;
}

Bytes encodeSmsDeliver(const DeliverMessage &message) {
    Bytes header;
    if (message.concat.total != 0) {
        header = {0x05,
                  0x00,
                  0x03,
                  static_cast<uint8_t>(message.concat.reference),
                  message.concat.total,
                  message.concat.sequence};
    }
    Bytes out;
    appendServiceCentre(out, message.smscType, message.smsc);
    out.push_back(DeliverNoMoreMessages | (header.empty() ? 0 : UserDataHeaderIndicator));
    appendOriginator(out, message.originatorType, message.originator);
    out.push_back(0x00); // TP-PID: a plain short message
    out.push_back(message.dcs);
    out.insert(out.end(), message.timeStamp.begin(), message.timeStamp.end());
    if (message.dcs == Ucs2Dcs) {
        const Bytes text = CMyTools::gsmEncodeUcs2(message.text);
        out.push_back(static_cast<uint8_t>(header.size() + text.size()));
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), text.begin(), text.end());
        return out;
    }
    const Bytes septets = CMyTools::asc2gsm(message.text);
    const size_t headerSeptets = (header.size() * 8 + 6) / 7;
    Bytes userData = packedSeptets(septets, headerSeptets);
    std::copy(header.begin(), header.end(), userData.begin());
    out.push_back(static_cast<uint8_t>(headerSeptets + septets.size()));
    out.insert(out.end(), userData.begin(), userData.end());
    return out;
}

} // namespace velnor
