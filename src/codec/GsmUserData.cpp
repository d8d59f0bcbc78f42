#include "codec/GsmUserData.h"

#include "base/Utf8.h"
#include "codec/GsmAlphabet.h"
#include "codec/TextUsage.h"

#include <algorithm>

namespace velnor {

namespace {

constexpr uint8_t kConcat8BitReference = 0x00;
constexpr uint8_t kConcat16BitReference = 0x08;

// GSM 03.40, 9.2.3.24.1 and 9.2.3.24.8; an element with a total or sequence number of 0, or a
// sequence number beyond the total, is ignored as the standard asks.
void readConcatenation(uint8_t iei, const uint8_t *data, uint8_t length, ConcatInfo &concat) {
    size_t referenceLength = 0;
    if (iei == kConcat8BitReference && length == 3) {
        referenceLength = 1;
    } else if (iei == kConcat16BitReference && length == 4) {
        referenceLength = 2;
    } else {
        return;
    }
    const uint8_t total = data[referenceLength];
    const uint8_t sequence = data[referenceLength + 1];
    if (total == 0 || sequence == 0 || sequence > total) {
        return;
    }
    concat.reference =
        referenceLength == 1 ? data[0] : static_cast<uint16_t>(data[0] << 8 | data[1]);
    concat.total = total;
    concat.sequence = sequence;
}

// The header after its length byte: information elements of identifier, length and data.
bool readHeader(const uint8_t *header, size_t length, SM_PARAM &param) {
    size_t pos = 0;
    while (pos < length) {
        if (length - pos < 2 || length - pos - 2 < header[pos + 1]) {
            return false;
        }
        readConcatenation(header[pos], header + pos + 2, header[pos + 1], param.concat);
        pos += 2 + header[pos + 1];
    }
    param.userDataHeader.assign(header, header + length);
    return true;
}

bool readSeptetData(ByteCursor &cursor, size_t septets, bool hasHeader, SM_PARAM &param) {
    if (septets > kMaxSeptets) {
        return false;
    }
    const size_t octets = (septets * 7 + 7) / 8;
    const uint8_t *data = cursor.readBytes(octets);
    if (data == nullptr) {
        return false;
    }
    size_t headerSeptets = 0;
    if (hasHeader) {
        if (octets == 0) {
            return false;
        }
        const size_t headerOctets = data[0] + 1u;
        // The header is followed by fill bits up to the next septet boundary.
        headerSeptets = (headerOctets * 8 + 6) / 7;
        if (headerSeptets > septets || !readHeader(data + 1, data[0], param)) {
            return false;
        }
    }
    appendPackedGsmText(data, headerSeptets * 7, septets - headerSeptets, param.text);
    return true;
}

bool readOctetData(ByteCursor &cursor, size_t octets, bool hasHeader, Alphabet alphabet,
                   SM_PARAM &param) {
    if (octets > kMaxOctets) {
        return false;
    }
    const uint8_t *data = cursor.readBytes(octets);
    if (data == nullptr) {
        return false;
    }
    size_t headerOctets = 0;
    if (hasHeader) {
        if (octets == 0 || data[0] + 1u > octets || !readHeader(data + 1, data[0], param)) {
            return false;
        }
        headerOctets = data[0] + 1u;
    }
    const uint8_t *text = data + headerOctets;
    const size_t textOctets = octets - headerOctets;
    param.text = alphabet == Alphabet::Ucs2 ? CMyTools::gsmDecodeUcs2(text, textOctets)
                                            : latin1ToUtf8(text, textOctets);
    return true;
}

void appendSeptetData(Bytes &out, std::string_view text, size_t maxOctets) {
    const Bytes septets = CMyTools::asc2gsm(text);
    const size_t limit = std::min(kMaxSeptets, maxOctets * 8 / 7);
    size_t kept = 0;
    while (kept < septets.size()) {
        const size_t width = septets[kept] == kGsmEscape ? 2 : 1;
        if (kept + width > limit) {
            break;
        }
        kept += width;
    }
    out.push_back(static_cast<uint8_t>(kept));
    const size_t start = out.size();
    out.resize(start + (7 * kept + 7) / 8);
    packSeptets(septets.data(), kept, 0, out.data() + start);
}

void appendUcs2Data(Bytes &out, std::string_view text, size_t maxOctets) {
    Bytes units = CMyTools::gsmEncodeUcs2(text);
    size_t kept = std::min(units.size(), std::min(kMaxOctets, maxOctets) & ~size_t{1});
    // Never keep the first half of a surrogate pair without its second half.
    if (kept > 0 && kept < units.size() && (units[kept - 2] & 0xFC) == 0xD8) {
        kept -= 2;
    }
    out.push_back(static_cast<uint8_t>(kept));
    out.insert(out.end(), units.begin(), units.begin() + static_cast<std::ptrdiff_t>(kept));
}

void appendLatin1Data(Bytes &out, std::string_view text, size_t maxOctets) {
    Bytes octets;
    const size_t limit = std::min(kMaxOctets, maxOctets);
    size_t pos = 0;
    while (pos < text.size() && octets.size() < limit) {
        const char32_t cp = nextCodePoint(text, pos);
        octets.push_back(cp <= 0xFF ? static_cast<uint8_t>(cp) : '?');
    }
    out.push_back(static_cast<uint8_t>(octets.size()));
    out.insert(out.end(), octets.begin(), octets.end());
}

} // namespace

bool readUserData(ByteCursor &cursor, bool hasHeader, const CodingScheme &scheme, SM_PARAM &param) {
    uint8_t length = 0;
    if (!cursor.readByte(length)) {
        return false;
    }
    if (scheme.alphabet == Alphabet::Gsm7) {
        return readSeptetData(cursor, length, hasHeader, param);
    }
    return readOctetData(cursor, length, hasHeader, scheme.alphabet, param);
}

void appendUserData(Bytes &out, std::string_view text, Alphabet alphabet, size_t maxOctets) {
    switch (alphabet) {
    case Alphabet::Gsm7:
        appendSeptetData(out, text, maxOctets);
        break;
    case Alphabet::Ucs2:
        appendUcs2Data(out, text, maxOctets);
        break;
    case Alphabet::Octet:
        appendLatin1Data(out, text, maxOctets);
        break;
    }
}

} // namespace velnor
