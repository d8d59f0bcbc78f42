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
        // UCS2 ends at U+0000, which cards pad with as well as with 0xFF.
        {{0x80, 0x00, 0x41, 0x00, 0x4E, 0x00, 0x4E, 0x00, 0x41, 0, 0, 0, 0, 0, 0, 0}, "ANNA"},
        // 0x81 and 0x82 names are as long as their count says, even when the last character is
        // the byte 0xFF (base + 0x7F), as another program may write it.
        {{0x82, 0x02, 0x01, 0x00, 0x80, 0xFF}, "\xC4\x80\xC5\xBF"},
        {{0x81, 0x02, 0x02, 0x80, 0xFF}, "\xC4\x80\xC5\xBF"},
    };
    for (const Case &c : cases) {
        const Bytes r = record(30, c.alpha, kShortNumber);
        const std::optional<PhoneEntry> entry = decodePhonebookRecord(r.data(), r.size());
        ASSERT_TRUE(entry) << c.name;
        EXPECT_EQ(entry->name, c.name);
        EXPECT_EQ(entry->number, "12");
    }
}

TEST(PhonebookRecord, ANameWithoutNumberIsAnEntryAndOnlyAFreeRecordIsNot) {
    struct Case {
        Bytes alpha;
        uint8_t numberLength;
        std::optional<PhoneEntry> entry;
    } cases[] = {
        {{'B', 'o', 'b'}, 0xFF, PhoneEntry{"Bob", ""}}, // GSM 11.11, 10.5.1: no number
        {{'B', 'o', 'b'}, 0x00, PhoneEntry{"Bob", ""}},
        {{'B', 'o', 'b'}, 0x0C, std::nullopt},
        {{}, 0xFF, std::nullopt},
        {Bytes(16, 0x00), 0x00, std::nullopt}, // a record cleared with zeros
        {{}, 0x01, PhoneEntry{"", ""}},
    };
    for (const Case &c : cases) {
        const Bytes r = record(30, c.alpha, {c.numberLength, 0x81, 0x21});
        EXPECT_EQ(decodePhonebookRecord(r.data(), r.size()), c.entry) << int(c.numberLength);
    }
}

TEST(PhonebookRecord, InternationalNumberGetsAPlus) {
    const Bytes r = record(28, {'X'}, {0x07, 0x91, 0x94, 0x71, 0x10, 0x67, 0x00, 0xF0});
    const std::optional<PhoneEntry> entry = decodePhonebookRecord(r.data(), r.size());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->number, "+49170176000");
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
        {"S\xC3\xA1ra \xC5\xA0", false, 0x80}, // "Sára Š": 0x82 would code Š as 0xFF
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
    // A name the card cannot hold as it is: an emoji, or 128 UCS2 characters (256 bytes).
    EXPECT_FALSE(nameFitsCard("Anna \xF0\x9F\x98\x80", 16, false));
    std::string wang128;
    for (int i = 0; i < 128; ++i) {
        wang128 += "\xE7\x8E\x8B";
    }
    EXPECT_FALSE(nameFitsCard(wang128, 255, true));
    // Nothing fits an alpha field of 0 (no card read yet).
    EXPECT_FALSE(nameFitsCard("A", 0, false));
    EXPECT_TRUE(nameFitsCard("", 0, false));
}

} // namespace
} // namespace velnor
