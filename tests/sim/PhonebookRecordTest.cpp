#include <gtest/gtest.h>

#include "sim/PhonebookRecord.h"

namespace velnor {
namespace {

// A record of `length` bytes: the alpha bytes given, 0xFF filler, then the number fields.
Bytes record(size_t length, Bytes alpha, Bytes numberFields) {
    Bytes r(length, 0xFF);
    std::copy(alpha.begin(), alpha.end(), r.begin());
    std::copy(numberFields.begin(), numberFields.end(),
              r.begin() + static_cast<long>(length - kPhonebookRecordOverhead));
    return r;
}

// Number length 2, unknown numbering, digits "12".
const Bytes kShortNumber = {0x02, 0x81, 0x21};

TEST(PhonebookRecord, TrimsFillerOfEachCoding) {
    struct Case {
        Bytes alpha;
        std::string name;
    } cases[] = {
        {{'A', 'n', 'n', 'a'}, "Anna"},
        // 0x80 then "A": the UCS2 count is 2 after trimming the filler.
        {{0x80, 0x00, 0x41}, "A"},
        // 0x80 then "A" and 0x00: the trailing 0xFF completes a character, count 4.
        {{0x80, 0x00, 0x41, 0x00}, "A\xC3\xBF"},
        // A GSM name of only filler hands one byte to the decoder and yields nothing.
        {{}, ""},
    };
    for (const Case &c : cases) {
        const Bytes r = record(30, c.alpha, kShortNumber);
        const std::optional<PhoneEntry> entry = decodePhonebookRecord(r.data(), r.size());
        ASSERT_TRUE(entry) << c.name;
        EXPECT_EQ(entry->name, c.name);
        EXPECT_EQ(entry->number, "12");
    }
}

TEST(PhonebookRecord, NumberLengthOutsideOneToElevenIsAFreeRecord) {
    for (const uint8_t length : {0x00, 0x0C, 0xFF}) {
        const Bytes r = record(30, {'B', 'o', 'b'}, {length, 0x81, 0x21});
        EXPECT_FALSE(decodePhonebookRecord(r.data(), r.size())) << int(length);
    }
    const Bytes shortest = record(30, {}, {0x01, 0x81});
    const std::optional<PhoneEntry> entry = decodePhonebookRecord(shortest.data(), shortest.size());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->number, "");
}

TEST(PhonebookRecord, InternationalNumberGetsAPlus) {
    const Bytes r = record(28, {'X'}, {0x07, 0x91, 0x94, 0x71, 0x10, 0x67, 0x00, 0xF0});
    const std::optional<PhoneEntry> entry = decodePhonebookRecord(r.data(), r.size());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->number, "+49170176000");
}

TEST(PhonebookRecord, EncodesNumberForms) {
    // 13 digits after "+": type 0x91, seven BCD bytes with one filler nibble, length byte 8.
    const Bytes r = encodePhonebookRecord({"Al", "+4917012345678"}, 30, false);
    ASSERT_EQ(r.size(), 30u);
    EXPECT_EQ(r[16], 0x08);
    EXPECT_EQ(r[17], 0x91);
    const Bytes digits(r.begin() + 18, r.begin() + 25);
    EXPECT_EQ(digits, (Bytes{0x94, 0x71, 0x10, 0x32, 0x54, 0x76, 0xF8}));
    EXPECT_EQ(r[25], 0xFF);

    const Bytes empty = encodePhonebookRecord({"Al", ""}, 30, false);
    EXPECT_EQ(empty[16], 0x01);
    EXPECT_EQ(empty[17], 0x81);

    // A number of more than 20 digits keeps its first 20; nothing is written past the record.
    const Bytes longNumber = encodePhonebookRecord({"Al", std::string(25, '9')}, 30, false);
    EXPECT_EQ(longNumber[16], 11);
    EXPECT_EQ(CMyTools::bcd2asc(longNumber.data() + 18, 10), std::string(20, '9'));
}

TEST(PhonebookRecord, EncodesNamesInTheFirstCodingThatFits) {
    struct Case {
        std::string name;
        bool ucs82Unsupported;
        uint8_t coding; // 0 for GSM 7-bit
    } cases[] = {
        {"M\xC3\xBCller {1}", false, 0}, // "Müller {1}": GSM with an extension character
        {"\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0", false, 0x81}, // "Анна": one half-page of Cyrillic
        {"\xE7\x8E\x8B\xE8\x8A\xB3", true, 0x80},          // "王芳" on a card without 0x82
        {"\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0", true, 0x80},
    };
    for (const Case &c : cases) {
        const Bytes r = encodePhonebookRecord({c.name, "1"}, 30, c.ucs82Unsupported);
        if (c.coding != 0) {
            EXPECT_EQ(r[0], c.coding) << c.name;
        } else {
            EXPECT_LT(r[0], 0x80) << c.name;
        }
        const std::optional<PhoneEntry> back = decodePhonebookRecord(r.data(), r.size());
        ASSERT_TRUE(back) << c.name;
        EXPECT_EQ(back->name, c.name);
        EXPECT_EQ(back->number, "1");
    }
}

TEST(PhonebookRecord, UcsNameOfOddFieldEndsInFiller) {
    // Alpha length 16: the 15 bytes after 0x80 cannot hold whole characters.
    const std::string longName = "\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B"
                                 "\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B"; // 9 x "王"
    const Bytes r = encodePhonebookRecord({longName, "1"}, 30, true);
    EXPECT_EQ(r[0], 0x80);
    EXPECT_EQ(r[15], 0xFF);
    EXPECT_EQ(r[16], 0x02); // the number fields are untouched by the long name
}

TEST(PhonebookRecord, NameFitCheck) {
    EXPECT_TRUE(nameFitsCard("Sixteen chars ok", 16, false));
    EXPECT_FALSE(nameFitsCard("Seventeen chars!!", 16, false));
    // Extension characters take two septets each.
    EXPECT_FALSE(nameFitsCard("Fifteen chars{}", 16, false));
    EXPECT_TRUE(nameFitsCard("Fourteen char{", 16, false));
    // Seven Chinese characters: 0x82 body of 3 + 7 bytes fits 15, UCS2's 14 bytes fits too.
    const std::string seven = "\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B\xE7\x8E\x8B"
                              "\xE7\x8E\x8B\xE7\x8E\x8B";
    EXPECT_TRUE(nameFitsCard(seven, 16, false));
    EXPECT_TRUE(nameFitsCard(seven, 16, true));
    EXPECT_FALSE(nameFitsCard(seven + "\xE7\x8E\x8B", 16, true));
    // Nothing fits an alpha field of 0 (no card read yet).
    EXPECT_FALSE(nameFitsCard("A", 0, false));
    EXPECT_TRUE(nameFitsCard("", 0, false));
}

} // namespace
} // namespace velnor
