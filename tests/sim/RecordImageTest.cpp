#include <gtest/gtest.h>

#include "sim/PhonebookRecord.h"

namespace velnor {
namespace {

std::string hex(const Bytes &bytes) {
    return CMyTools::hex2asc(bytes.data(), bytes.size());
}
std::string ff(size_t count) {
    return std::string(2 * count, 'F');
}

// The whole record image of a write, byte for byte (GSM 11.11, 10.5.1; Annex B for the codings).
struct ImageCase {
    const char *what;
    PhoneEntry entry;
    size_t length;
    bool ucs82Unsupported;
    std::string image;
    const char *nameReadBack = nullptr; // when the card cannot hold the name as it is
};

class RecordImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(RecordImage, IsExactlyTheExpectedBytes) {
    const ImageCase &c = GetParam();
    const Bytes record = encodePhonebookRecord(c.entry, c.length, c.ucs82Unsupported);
    ASSERT_EQ(record.size(), c.length);
    EXPECT_EQ(hex(record), c.image);
    const std::optional<PhoneEntry> back = decodePhonebookRecord(record.data(), record.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, c.nameReadBack ? c.nameReadBack : c.entry.name);
    EXPECT_EQ(back->number, c.entry.number);
}

INSTANTIATE_TEST_SUITE_P(
    Codings, RecordImage,
    ::testing::Values(
        // GSM 7-bit with extension characters: "{" and "}" are 1B 28 and 1B 29.
        ImageCase{"gsm",
                  {"Bob {home}", "0301234"},
                  30,
                  false,
                  "426F62201B28686F6D651B29" + ff(4) + "0581301032F4" + ff(8)},
        // "Анна": one-byte base 0x08 (U+0400), characters 0x80 | (code - 0x400).
        ImageCase{"ucs81",
                  {"\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0", "1"},
                  30,
                  false,
                  "8104089"
                  "0BDBDB0" +
                      ff(9) + "0281F1" + ff(11)},
        // "가각": above 0x8000, so only a two-byte base fits.
        ImageCase{"ucs82",
                  {"\xEA\xB0\x80\xEA\xB0\x81", "1"},
                  30,
                  false,
                  "8202AC008081" + ff(10) + "0281F1" + ff(11)},
        // "王芳": 0x0F28 apart, no base fits: plain UCS2.
        ImageCase{"ucs80",
                  {"\xE7\x8E\x8B\xE8\x8A\xB3", "1"},
                  30,
                  false,
                  "80738B82B3" + ff(11) + "0281F1" + ff(11)},
        // A card that does not keep 0x82 gets UCS2 even where a base would fit.
        ImageCase{"no82",
                  {"\xEA\xB0\x80\xEA\xB0\x81", "1"},
                  30,
                  true,
                  "80AC00AC01" + ff(11) + "0281F1" + ff(11)},
        ImageCase{
            "no81", {"\xD0\x90\xD0\xBD", "1"}, 30, true, "800410043D" + ff(11) + "0281F1" + ff(11)},
        // An emoji becomes U+FFFD rather than a surrogate pair; it fits a 16-bit base.
        ImageCase{"emoji",
                  {"Anna \xF0\x9F\x98\x80", "1"},
                  30,
                  false,
                  "8206FFFD416E6E612080" + ff(6) + "0281F1" + ff(11),
                  "Anna \xEF\xBF\xBD"},
        // A name without a number leaves the number fields as a card keeps them: 0xFF.
        ImageCase{"nameOnly", {"Bob", ""}, 30, false, "426F62" + ff(27)}),
    [](const auto &info) { return std::string(info.param.what); });

std::string repeat(const std::string &text, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) {
        s += text;
    }
    return s;
}

TEST(RecordImageCut, NamesAreCutAtTheAlphaFieldAndNeverReachTheNumber) {
    const std::string wang9 = repeat("\xE7\x8E\x8B", 9); // nine times "王"
    // Alpha length 16: after 0x80 come 15 bytes, seven characters and a filler byte.
    EXPECT_EQ(hex(encodePhonebookRecord({wang9, "1"}, 30, true)),
              "80" + repeat("738B", 7) + "FF" + "0281F1" + ff(11));
    // Alpha length 17: sixteen bytes after 0x80 hold eight whole characters, no filler.
    const Bytes odd = encodePhonebookRecord({wang9, "1"}, 31, true);
    EXPECT_EQ(hex(Bytes(odd.begin(), odd.begin() + 17)), "80" + repeat("738B", 8));
    EXPECT_EQ(hex(Bytes(odd.begin() + 17, odd.end())), "0281F1" + ff(11));
    // A GSM name keeps its first 16 septets.
    EXPECT_EQ(hex(encodePhonebookRecord({"ABCDEFGHIJKLMNOPQRST", "1"}, 30, false)),
              "4142434445464748494A4B4C4D4E4F50"
              "0281F1" +
                  ff(11));
}

struct NumberCase {
    std::string number;
    std::string fields; // number length, type, BCD bytes; the rest of the record is 0xFF
};

TEST(RecordImageNumbers, EveryNumberForm) {
    const NumberCase cases[] = {
        {"", ""},                                 // no number: the fields stay 0xFF
        {"+4917012345678", "0891947110325476F8"}, // 13 digits: 7 bytes, last padded with F
        {"0301234", "0581301032F4"},
        {"*#06#", "0481BA60FB"},
        {std::string(25, '9'), "0B81" + std::string(20, '9')}, // the first 20 digits
        {"+", "0191"},
        // Only a leading "+" makes the number international; no digit is lost to one inside.
        {"12+3", "038121F3"},
    };
    for (const NumberCase &c : cases) {
        const Bytes record = encodePhonebookRecord({"X", c.number}, 28, false);
        const std::string image = hex(record);
        EXPECT_EQ(image.substr(0, 28), "58" + ff(13)) << c.number;
        EXPECT_EQ(image.substr(28), c.fields + ff(14 - c.fields.size() / 2)) << c.number;
    }
}

TEST(RecordImageNumbers, ShortRecordsAreLeftFree) {
    EXPECT_EQ(hex(encodePhonebookRecord({"X", "1"}, 13, false)), ff(13));
    EXPECT_EQ(hex(emptyPhonebookRecord(30)), ff(30));
}

} // namespace
} // namespace velnor
