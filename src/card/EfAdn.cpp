#include "card/EfAdn.h"

#include <algorithm>

#include "codec/AlphaIdentifier.h"

namespace velnor {

namespace {

constexpr uint8_t kInternational = 0x91;
constexpr uint8_t kUnknownNumbering = 0x81;
constexpr size_t kMaxNumberBytes = 10;

} // namespace

EfAdn::Value EfAdn::decode(std::span<const uint8_t> record) {
    if (record.size() < tail) {
        return std::nullopt;
    }
    const size_t x = record.size() - tail;
    const uint8_t numberLength = record[x];
    // 0xFF (or 0) says there is no number; a name alone is still an entry.
    const bool noNumber = numberLength == 0 || numberLength == 0xFF;
    if (!noNumber && numberLength > kMaxNumberBytes + 1) {
        return std::nullopt;
    }
    PhoneEntry entry;
    entry.name = decodeAlphaIdentifier(record.data(), x);
    if (noNumber) {
        // A record of zeros was cleared, and holds no name of "@" characters.
        const bool cleared = numberLength == 0 && std::all_of(record.begin(), record.begin() + x,
                                                              [](uint8_t b) { return b == 0; });
        if (entry.name.empty() || cleared) {
            return std::nullopt;
        }
        return entry;
    }
    entry.number = CMyTools::bcd2asc(record.data() + x + 2, numberLength - 1u);
    if (record[x + 1] == kInternational) {
        entry.number.insert(0, 1, '+');
    }
    return entry;
}

Bytes EfAdn::encode(const Value &entry, size_t length, bool ucs82Unsupported) {
    if (!entry || length < tail) {
        return Bytes(length, 0xFF);
    }
    const size_t x = length - tail;
    Bytes alpha = encodeAlphaIdentifier(entry->name, ucs82Unsupported);
    if (alpha.size() > x && (alpha[0] == 0x81 || alpha[0] == 0x82)) {
        // A cut name keeps a count that says what is left, and takes the plain UCS2 coding when
        // that keeps more characters than the base codings' headers leave room for.
        const size_t header = alpha[0] == 0x81 ? 3 : 4;
        const size_t kept = x > header ? x - header : 0;
        if ((x - 1) / 2 > kept) {
            alpha = {0x80};
            const Bytes ucs2 = CMyTools::gsmEncodeUcs2(ucs2Storable(entry->name));
            alpha.insert(alpha.end(), ucs2.begin(), ucs2.end());
        } else {
            alpha[1] = static_cast<uint8_t>(std::min<size_t>(alpha[1], kept));
        }
    }
    // A UCS2 field of odd length must not end in half a character.
    if (alpha.size() > x && alpha[0] == 0x80 && x % 2 == 0 && x >= 2) {
        alpha.resize(x);
        alpha[x - 1] = 0xFF;
    }
    return compose(alpha, entry->number, length);
}

Bytes EfAdn::compose(const Bytes &alpha, const std::string &number, size_t length) {
    Bytes record(length, 0xFF);
    if (length < tail) {
        return record;
    }
    const size_t x = length - tail;
    std::copy_n(alpha.begin(), std::min(alpha.size(), x), record.begin());
    if (number.empty()) {
        return record;
    }
    const bool international = number[0] == '+';
    Bytes bcd = CMyTools::asc2bcd(std::string_view(number).substr(international ? 1 : 0));
    if (bcd.size() > kMaxNumberBytes) {
        bcd.resize(kMaxNumberBytes);
    }
    record[x] = static_cast<uint8_t>(bcd.size() + 1);
    record[x + 1] = international ? kInternational : kUnknownNumbering;
    std::copy(bcd.begin(), bcd.end(), record.begin() + static_cast<std::ptrdiff_t>(x + 2));
    return record;
}

const std::vector<FileVector<EfAdn::Value>> &EfAdn::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        // osmocom pySim, pySim/ts_51_011.py, EF_ADN
        {"42204841203120536963FFFFFFFF06810628560810FFFFFFFFFFFFFF",
         PhoneEntry{"B HA 1 Sic", "6082658001"}},
        {"4B756E64656E626574726575756E67FFFFFF0791947112122721FFFFFFFFFFFF",
         PhoneEntry{"Kundenbetreuung", "+491721217212"}},
        // A free record.
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", std::nullopt},
        // GSM 11.11, Annex B: "{" and "}" are 1B 28 and 1B 29; "Анна" has the one-byte base 0x08
        // (U+0400); "가각" lies above 0x8000, where only a two-byte base reaches; "王芳" lie 0x0F28
        // apart, so no base fits; "Š" would be 0xFF after a base, read as filler; a card that
        // does not keep 0x82 gets UCS2 where a base would fit; an emoji becomes U+FFFD rather
        // than a surrogate pair; a name without a number leaves the number fields 0xFF.
        {"426F62201B28686F6D651B29FFFFFFFF0581301032F4FFFFFFFFFFFFFFFF",
         PhoneEntry{"Bob {home}", "0301234"}},
        {"4D7E6C6C6572201B28311B29FFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF",
         PhoneEntry{"Müller {1}", "1"}},
        {"81040890BDBDB0FFFFFFFFFFFFFFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Анна", "1"}},
        {"8202AC008081FFFFFFFFFFFFFFFFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"가각", "1"}},
        {"80738B82B3FFFFFFFFFFFFFFFFFFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"王芳", "1"}},
        {"80005300E10072006100200160FFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Sára Š", "1"}},
        {"80AC00AC01FFFFFFFFFFFFFFFFFFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"가각", "1"},
         std::nullopt, kWithout82},
        {"800410043DFFFFFFFFFFFFFFFFFFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Ан", "1"},
         std::nullopt, kWithout82},
        {"8206FFFD416E6E612080FFFFFFFFFFFF0281F1FFFFFFFFFFFFFFFFFFFFFF",
         PhoneEntry{"Anna \xEF\xBF\xBD", "1"}, PhoneEntry{"Anna 😀", "1"}},
        {"426F62FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Bob", ""}},
        // Names are cut at the alpha field and never reach the number: after 0x80 an alpha field
        // of 16 holds seven characters and a filler byte, one of 17 holds eight; a GSM name keeps
        // 16 septets.
        {"80738B738B738B738B738B738B738BFF0281F1FFFFFFFFFFFFFFFFFFFFFF",
         PhoneEntry{"王王王王王王王", "1"}, PhoneEntry{"王王王王王王王王王", "1"}, kWithout82},
        {"80738B738B738B738B738B738B738B738B0281F1FFFFFFFFFFFFFFFFFFFFFF",
         PhoneEntry{"王王王王王王王王", "1"}, PhoneEntry{"王王王王王王王王王", "1"}, kWithout82},
        {"4142434445464748494A4B4C4D4E4F500281F1FFFFFFFFFFFFFFFFFFFFFF",
         PhoneEntry{"ABCDEFGHIJKLMNOP", "1"}, PhoneEntry{"ABCDEFGHIJKLMNOPQRST", "1"}},
        // GSM 11.11, 10.5.1: BCD digits low nibble first, an odd count padded with F; only the
        // first 20 digits are kept; only a leading + makes a number international; a record too
        // short for the number fields is left free.
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"X", ""}},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF0891947110325476F8FFFFFFFFFF",
         PhoneEntry{"X", "+4917012345678"}},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF0581301032F4FFFFFFFFFFFFFFFF", PhoneEntry{"X", "0301234"}},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF0481BA60FBFFFFFFFFFFFFFFFFFF", PhoneEntry{"X", "*#06#"}},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF0B8199999999999999999999FFFF",
         PhoneEntry{"X", "99999999999999999999"}, PhoneEntry{"X", "9999999999999999999999999"}},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF0191FFFFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"X", "+"}},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF038121F3FFFFFFFFFFFFFFFFFFFF", PhoneEntry{"X", "123"},
         PhoneEntry{"X", "12+3"}},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFF", std::nullopt, PhoneEntry{"X", "1"}},
        // Reading trims the filler of each coding; UCS2 ends at U+0000, which cards pad with as
        // well as 0xFF; 0x81 and 0x82 names are as long as their count says.
        {"416E6E61FFFFFFFFFFFFFFFFFFFFFFFF028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Anna", "12"},
         std::nullopt, false, kForeign},
        {"800041FFFFFFFFFFFFFFFFFFFFFFFFFF028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"A", "12"},
         std::nullopt, false, kForeign},
        {"80004100FFFFFFFFFFFFFFFFFFFFFFFF028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Aÿ", "12"},
         std::nullopt, false, kForeign},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"", "12"},
         std::nullopt, false, kForeign},
        {"800041004E004E004100000000000000028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"ANNA", "12"},
         std::nullopt, false, kForeign},
        {"8202010080FFFFFFFFFFFFFFFFFFFFFF028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Āſ", "12"},
         std::nullopt, false, kForeign},
        {"81020280FFFFFFFFFFFFFFFFFFFFFFFF028121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Āſ", "12"},
         std::nullopt, false, kForeign},
        {"58FFFFFFFFFFFFFFFFFFFFFFFFFF07919471106700F0FFFFFFFFFFFF",
         PhoneEntry{"X", "+49170176000"}, std::nullopt, false, kForeign},
        // A name without a number (length 0 or 0xFF) is an entry; a number length above 11, or
        // no name and no number, is a free record, also one cleared with zeros.
        {"426F62FFFFFFFFFFFFFFFFFFFFFFFFFFFF8121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Bob", ""},
         std::nullopt, false, kForeign},
        {"426F62FFFFFFFFFFFFFFFFFFFFFFFFFF008121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"Bob", ""},
         std::nullopt, false, kForeign},
        {"426F62FFFFFFFFFFFFFFFFFFFFFFFFFF0C8121FFFFFFFFFFFFFFFFFFFFFF", std::nullopt, std::nullopt,
         false, kForeign},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF8121FFFFFFFFFFFFFFFFFFFFFF", std::nullopt, std::nullopt,
         false, kForeign},
        {"00000000000000000000000000000000008121FFFFFFFFFFFFFFFFFFFFFF", std::nullopt, std::nullopt,
         false, kForeign},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF018121FFFFFFFFFFFFFFFFFFFFFF", PhoneEntry{"", ""},
         std::nullopt, false, kForeign},
    };
    return vectors;
}

} // namespace velnor
