#include "records/PhonebookRecord.h"

#include <algorithm>

namespace velnor {

namespace {

constexpr uint8_t kInternational = 0x91;
constexpr uint8_t kUnknownNumbering = 0x81;
constexpr size_t kMaxNumberBytes = 10;

// Count of name bytes handed to the decoder, after trimming the 0xFF filler at the end. A UCS2
// name whose last character ends in 0xFF keeps that byte when the count would otherwise be odd.
size_t trimmedNameEnd(const uint8_t *alpha, size_t alphaLength) {
    if (alphaLength <= 1) {
        return 0;
    }
    size_t k = alphaLength - 1;
    while (k >= 1 && alpha[k] == 0xFF) {
        --k;
    }
    if ((alpha[0] & 0x80) != 0 && (k + 1) % 2 == 0) {
        ++k;
    }
    return k;
}

std::string decodeName(const uint8_t *alpha, size_t alphaLength) {
    if (alphaLength == 0) {
        return std::string();
    }
    // The 0x81 and 0x82 codings carry their length, so a last character coded as 0xFF is a
    // character, not filler (GSM 11.11, Annex B).
    if (alpha[0] == 0x81) {
        return CMyTools::UCS2ToGB81(alpha + 1, alphaLength - 1);
    }
    if (alpha[0] == 0x82) {
        return CMyTools::UCS2ToGB82(alpha + 1, alphaLength - 1);
    }
    const size_t k = trimmedNameEnd(alpha, alphaLength);
    switch (alpha[0]) {
    case 0x80:
        return CMyTools::gsmDecodeUcs2(alpha + 1, std::min(k, alphaLength - 1));
    default: {
        // GSM 7-bit names are left-justified and filled with 0xFF.
        const size_t count = std::min(k + 1, alphaLength);
        const uint8_t *end = std::find(alpha, alpha + count, 0xFF);
        return CMyTools::gsm2asc(alpha, static_cast<size_t>(end - alpha));
    }
    }
}

} // namespace

std::optional<PhoneEntry> decodePhonebookRecord(const uint8_t *record, size_t length) {
    if (length < kPhonebookRecordOverhead) {
        return std::nullopt;
    }
    const size_t x = length - kPhonebookRecordOverhead;
    const uint8_t numberLength = record[x];
    // GSM 11.11, 10.5.1: 0xFF (or 0) says there is no number; a name alone is still an entry.
    const bool noNumber = numberLength == 0 || numberLength == 0xFF;
    if (!noNumber && numberLength > kMaxNumberBytes + 1) {
        return std::nullopt;
    }
    PhoneEntry entry;
    entry.name = decodeName(record, x);
    if (noNumber) {
        // A record of zeros was cleared, and holds no name of "@" characters.
        const bool cleared =
            numberLength == 0 && std::all_of(record, record + x, [](uint8_t b) { return b == 0; });
        if (entry.name.empty() || cleared) {
            return std::nullopt;
        }
        return entry;
    }
    entry.number = CMyTools::bcd2asc(record + x + 2, numberLength - 1u);
    if (record[x + 1] == kInternational) {
        entry.number.insert(0, 1, '+');
    }
    return entry;
}

Bytes encodeAlphaIdentifier(const std::string &name, bool ucs82Unsupported) {
    const std::string stored = ucs2Storable(name);
    if (!CMyTools::IsDBString(stored)) {
        return CMyTools::asc2gsm(stored);
    }
    Bytes alpha;
    if (!ucs82Unsupported) {
        uint8_t coding = 0x80;
        Bytes body = CMyTools::String2Ucs81(stored, coding);
        if (!body.empty()) {
            alpha.push_back(0x81);
        } else if (coding == 0x82) {
            body = CMyTools::String2Ucs82(stored);
            if (!body.empty()) {
                alpha.push_back(0x82);
            }
        }
        if (!alpha.empty()) {
            alpha.insert(alpha.end(), body.begin(), body.end());
            return alpha;
        }
    }
    alpha.push_back(0x80);
    const Bytes ucs2 = CMyTools::gsmEncodeUcs2(stored);
    alpha.insert(alpha.end(), ucs2.begin(), ucs2.end());
    return alpha;
}

Bytes emptyPhonebookRecord(size_t length) {
    return Bytes(length, 0xFF);
}

Bytes encodePhonebookRecord(const PhoneEntry &entry, size_t length, bool ucs82Unsupported) {
    Bytes record = emptyPhonebookRecord(length);
    if (length < kPhonebookRecordOverhead) {
        return record;
    }
    const size_t x = length - kPhonebookRecordOverhead;
    Bytes alpha = encodeAlphaIdentifier(entry.name, ucs82Unsupported);
    if (alpha.size() > x && (alpha[0] == 0x81 || alpha[0] == 0x82)) {
        // A cut name keeps a count that says what is left, and takes the plain UCS2 coding when
        // that keeps more characters than the base codings' headers leave room for.
        const size_t header = alpha[0] == 0x81 ? 3 : 4;
        const size_t kept = x > header ? x - header : 0;
        if ((x - 1) / 2 > kept) {
            alpha = {0x80};
            const Bytes ucs2 = CMyTools::gsmEncodeUcs2(ucs2Storable(entry.name));
            alpha.insert(alpha.end(), ucs2.begin(), ucs2.end());
        } else {
            alpha[1] = static_cast<uint8_t>(std::min<size_t>(alpha[1], kept));
        }
    }
    std::copy_n(alpha.begin(), std::min(alpha.size(), x), record.begin());
    // A UCS2 field of odd length must not end in half a character.
    if (alpha.size() > x && alpha[0] == 0x80 && x % 2 == 0 && x >= 2) {
        record[x - 1] = 0xFF;
    }
    if (entry.number.empty()) {
        return record;
    }
    const bool international = entry.number[0] == '+';
    Bytes bcd = CMyTools::asc2bcd(std::string_view(entry.number).substr(international ? 1 : 0));
    if (bcd.size() > kMaxNumberBytes) {
        bcd.resize(kMaxNumberBytes);
    }
    record[x] = static_cast<uint8_t>(bcd.size() + 1);
    record[x + 1] = international ? kInternational : kUnknownNumbering;
    std::copy(bcd.begin(), bcd.end(), record.begin() + static_cast<std::ptrdiff_t>(x + 2));
    return record;
}

bool nameFitsCard(const std::string &name, uint32_t alphaLength, bool ucs82Unsupported) {
    if (!CMyTools::IsDBString(name)) {
        // Its septets are at least as many as its characters, so they decide. Printable ASCII
        // takes one septet a character, two for the eight extension characters among it.
        const bool printable = std::all_of(name.begin(), name.end(), [](char c) {
            return static_cast<uint8_t>(c) >= 0x20 && static_cast<uint8_t>(c) < 0x7F;
        });
        const size_t septets =
            printable ? name.size() + CountGsmExtensionChars(name) : CMyTools::asc2gsm(name).size();
        return septets <= alphaLength;
    }
    return ucs2Storable(name) == name &&
           encodeAlphaIdentifier(name, ucs82Unsupported).size() <= alphaLength;
}

bool numberFitsCard(std::string_view number) {
    const std::string_view digits = number.substr(number.starts_with('+') ? 1 : 0);
    const Bytes bcd = CMyTools::asc2bcd(digits);
    return digits.find('+') == std::string_view::npos &&
           CMyTools::bcd2asc(bcd.data(), bcd.size()).size() <= kMaxNumberDigits;
}

} // namespace velnor
