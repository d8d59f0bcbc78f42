#include "CodecTestSupport.h"
#include "base/Utf8.h"

namespace velnor::test {
namespace {

std::string decodeUcs2(std::string_view hex) {
    const Bytes bytes = fromHex(hex);
    return CMyTools::gsmDecodeUcs2(bytes.data(), bytes.size());
}

TEST(Ucs2, CodesBigEndianWithSurrogatePairs) {
    EXPECT_EQ(toHex(CMyTools::gsmEncodeUcs2("A中")), "00414E2D");
    EXPECT_EQ(toHex(CMyTools::gsmEncodeUcs2("😀")), "D83DDE00");
    EXPECT_EQ(decodeUcs2("00414E2D"), "A中");
    EXPECT_EQ(decodeUcs2("D83DDE00"), "😀");
}

TEST(Ucs2, DecodesLoneSurrogatesAsReplacementEndsAtZeroAndIgnoresAnOddByte) {
    EXPECT_EQ(decodeUcs2("0041000000420000"), "A"); // cards pad with 0000 as well as FFFF
    EXPECT_EQ(decodeUcs2("D83D0041"), "\uFFFDA");
    EXPECT_EQ(decodeUcs2("DE000041"), "\uFFFDA");
    EXPECT_EQ(decodeUcs2("0041D83D"), "A\uFFFD");
    EXPECT_EQ(decodeUcs2("004100"), "A");
    EXPECT_EQ(decodeUcs2(""), "");
}

TEST(Ucs2, InvalidUtf8BytesAreCodedAsReplacementCharacters) {
    EXPECT_EQ(toHex(CMyTools::gsmEncodeUcs2("\xC3(")), "FFFD0028");
}

TEST(AlphaCodings, DecodesTheAnnexBExamples) {
    // GSM 11.11, Annex B: 0x81 with base pointer 0x13 (0x0980, Bengali) and 0x82 with base
    // 0x0530 (Armenian).
    const Bytes body81 = fromHex("03 13 53 95 A6");
    EXPECT_EQ(CMyTools::UCS2ToGB81(body81.data(), body81.size()), "Sকদ");
    const Bytes body82 = fromHex("05 05 30 2D 82 D3 2D 31");
    EXPECT_EQ(CMyTools::UCS2ToGB82(body82.data(), body82.size()), "-Բփ-1");
}

TEST(AlphaCodings, CharacterCountAndByteCountBothLimitDecoding) {
    const Bytes padded = fromHex("03 13 53 95 A6 FF FF");
    EXPECT_EQ(CMyTools::UCS2ToGB81(padded.data(), padded.size()), "Sকদ");
    EXPECT_EQ(CMyTools::UCS2ToGB81(padded.data(), 4), "Sক");
    EXPECT_EQ(CMyTools::UCS2ToGB81(padded.data(), 1), "");
    const Bytes overclaimed = fromHex("09 05 30 2D 82");
    EXPECT_EQ(CMyTools::UCS2ToGB82(overclaimed.data(), overclaimed.size()), "-Բ");
    EXPECT_EQ(CMyTools::UCS2ToGB82(overclaimed.data(), 2), "");
}

struct AlphaCase {
    const char *text;
    uint8_t codingByte; // what String2Ucs81 reports
    const char *body81; // expected 0x81 body, empty when impossible
    const char *body82; // expected 0x82 body, empty when impossible
};

const AlphaCase kAlphaCases[] = {
    {"Sকদ", 0x81, "03135395A6", "030995538091"},
    {"中", 0x81, "019CAD", "014E2D80"},
    {"Mr 中", 0x81, "049C4D7220AD", "044E2D4D722080"},
    {"가", 0x82, "", "01AC0080"},             // beyond 0x7FFF: only a 16-bit base reaches it
    {"\u4E7F\u4E80", 0x82, "", "024E7F8081"}, // straddles a half-page boundary
    {"-Բփ-1", 0x82, "", "0505322D80D12D31"},
    {"áş", 0x82, "", "0200E180FE"}, // 0x7E apart: the highest is byte 0xFE
    {"Sára Š", 0x80, "", ""},       // 0x7F apart: Š would be byte 0xFF, read as filler
    {"中文", 0x80, "", ""},         // more than 128 code points apart
    {"中{", 0x80, "", ""},          // "{" needs the escape, so it must fit the window
    {"😀", 0x80, "", ""},            // not a UCS2 character
};

class AlphaCodingTest : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(AlphaCodingTest, EncodesAndDecodesBack) {
    const AlphaCase &c = GetParam();
    uint8_t coding = 0;
    const Bytes body81 = CMyTools::String2Ucs81(c.text, coding);
    EXPECT_EQ(coding, c.codingByte);
    EXPECT_EQ(toHex(body81), c.body81);
    EXPECT_EQ(toHex(CMyTools::String2Ucs82(c.text)), c.body82);
    if (!body81.empty()) {
        EXPECT_EQ(CMyTools::UCS2ToGB81(body81.data(), body81.size()), c.text);
    }
    const Bytes body82 = CMyTools::String2Ucs82(c.text);
    if (!body82.empty()) {
        EXPECT_EQ(CMyTools::UCS2ToGB82(body82.data(), body82.size()), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, AlphaCodingTest, ::testing::ValuesIn(kAlphaCases));

TEST(AlphaCodings, MoreThan255CharactersCannotBeCounted) {
    std::string name;
    for (int i = 0; i < 256; ++i) {
        name += "中";
    }
    uint8_t coding = 0;
    EXPECT_TRUE(CMyTools::String2Ucs81(name, coding).empty());
    EXPECT_EQ(coding, 0x80);
    EXPECT_TRUE(CMyTools::String2Ucs82(name).empty());
}

TEST(Bcd, PacksLowNibbleFirstWithFiller) {
    // GSM 11.11, 10.5.1: "1234567" is 21 43 65 F7.
    EXPECT_EQ(toHex(CMyTools::asc2bcd("1234567")), "214365F7");
    EXPECT_EQ(toHex(CMyTools::asc2bcd("*#pwe0")), "BADC0E");
    EXPECT_EQ(toHex(CMyTools::asc2bcd("+1 (23)")), "21F3");
    EXPECT_EQ(toHex(CMyTools::asc2bcd("")), "");
    EXPECT_EQ(toHex(CMyTools::asc2bcd("4930123456789")), "940321436587F9");
}

TEST(Bcd, UnpacksAndDropsFillers) {
    const Bytes bytes = fromHex("BADC0E214365F7F1");
    EXPECT_EQ(CMyTools::bcd2asc(bytes.data(), bytes.size()), "*#pwe012345671");
    EXPECT_EQ(CMyTools::bcd2asc(bytes.data(), 0), "");
}

TEST(Hex, FormatsUpperCaseAndParsesStrictly) {
    const Bytes bytes = {0x00, 0xAB, 0xFF};
    EXPECT_EQ(CMyTools::hex2asc(bytes.data(), bytes.size()), "00ABFF");
    EXPECT_EQ(CMyTools::asc2hex("00abFF"), bytes);
    EXPECT_EQ(CMyTools::asc2hex(""), Bytes{});
    for (const char *bad : {"ABC", "0G", " A", "AB ", "0x12"}) {
        EXPECT_FALSE(CMyTools::asc2hex(bad).has_value()) << bad;
    }
}

TEST(Utf8, RejectsMalformedSequences) {
    EXPECT_TRUE(isValidUtf8("plain ÄÖÜ 中 😀 \uFFFD"));
    for (const char *bad :
         {"\xC0\x80", "\xED\xA0\x80", "\xE4\xB8", "\xF4\x90\x80\x80", "\xFF", "a\x80"}) {
        EXPECT_FALSE(isValidUtf8(bad)) << CMyTools::hex2asc(reinterpret_cast<const uint8_t *>(bad),
                                                            std::string_view(bad).size());
    }
}

TEST(Utf8, EachBadByteBecomesOneReplacementCharacter) {
    const std::string_view text = "\xE4\xB8"
                                  "A";
    size_t pos = 0;
    EXPECT_EQ(nextCodePoint(text, pos), kReplacementChar);
    EXPECT_EQ(nextCodePoint(text, pos), kReplacementChar);
    EXPECT_EQ(nextCodePoint(text, pos), U'A');
    EXPECT_EQ(pos, text.size());
}

} // namespace
} // namespace velnor::test
