#include "codec/GsmAlphabet.h"
#include "CodecTestSupport.h"

namespace velnor::test {
namespace {

// GSM 03.38, 6.2.1 and 6.2.1.1: a sample of each region of the default alphabet and every
// character of the extension table.
struct GsmChar {
    const char *text;
    const char *septets;
};

const GsmChar kGsmChars[] = {
    {"@", "00"},   {"£", "01"},   {"$", "02"},    {"è", "04"},   {"Ç", "09"},    {"\n", "0A"},
    {"Δ", "10"},   {"_", "11"},   {"Ξ", "1A"},    {"É", "1F"},   {"¤", "24"},    {"¡", "40"},
    {"Ä", "5B"},   {"§", "5F"},   {"¿", "60"},    {"à", "7F"},   {"\f", "1B0A"}, {"^", "1B14"},
    {"{", "1B28"}, {"}", "1B29"}, {"\\", "1B2F"}, {"[", "1B3C"}, {"~", "1B3D"},  {"]", "1B3E"},
    {"|", "1B40"}, {"€", "1B65"},
};

class GsmCharTest : public ::testing::TestWithParam<GsmChar> {};

TEST_P(GsmCharTest, CodesBothWays) {
    const Bytes septets = fromHex(GetParam().septets);
    EXPECT_EQ(toHex(CMyTools::asc2gsm(GetParam().text)), GetParam().septets);
    EXPECT_EQ(CMyTools::gsm2asc(septets.data(), septets.size()), GetParam().text);
    EXPECT_FALSE(CMyTools::IsDBString(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Alphabet, GsmCharTest, ::testing::ValuesIn(kGsmChars));

TEST(GsmAlphabet, UncodableCharactersBecomeQuestionMarksAndMakeTheTextDoubleByte) {
    for (const char *text : {"`", "ç", "中", "😀", "\xC3"}) {
        EXPECT_TRUE(CMyTools::IsDBString(text)) << text;
    }
    EXPECT_EQ(toHex(CMyTools::asc2gsm("a中b😀")), "613F623F");
    EXPECT_FALSE(CMyTools::IsDBString("Hello, World! {x} 100€"));
}

TEST(GsmAlphabet, EscapeFallbacks) {
    // An escape before a code the extension table lacks reads as that default character; a
    // trailing escape and a double escape read as a space.
    const Bytes unknown = fromHex("1B41");
    EXPECT_EQ(CMyTools::gsm2asc(unknown.data(), unknown.size()), "A");
    const Bytes trailing = fromHex("411B");
    EXPECT_EQ(CMyTools::gsm2asc(trailing.data(), trailing.size()), "A ");
    const Bytes doubled = fromHex("1B1B42");
    EXPECT_EQ(CMyTools::gsm2asc(doubled.data(), doubled.size()), " B");
}

TEST(GsmAlphabet, DecodingStopsAtPaddingAndNeverReadsBeyondCount) {
    const Bytes name = fromHex("4A6F686EFF41FF");
    EXPECT_EQ(CMyTools::gsm2asc(name.data(), name.size()), "John");
    EXPECT_EQ(CMyTools::gsm2asc(name.data(), 2), "Jo");
    EXPECT_EQ(CMyTools::gsm2asc(name.data() + 4, 1), "");
}

TEST(GsmAlphabet, PacksHelloHello) {
    // The classic example of GSM 03.38 packing: "hellohello" is E8329BFD4697D9EC37.
    const Bytes septets = CMyTools::asc2gsm("hellohello");
    uint8_t packed[16];
    ASSERT_EQ(packSeptets(septets.data(), septets.size(), 0, packed), 9u);
    EXPECT_EQ(toHex(Bytes(packed, packed + 9)), "E8329BFD4697D9EC37");
    std::string text;
    appendPackedGsmText(packed, 0, 10, text);
    EXPECT_EQ(text, "hellohello");
}

TEST(GsmAlphabet, PackingWithFillBitsRoundTrips) {
    const Bytes septets = CMyTools::asc2gsm("Fill bits {ok}");
    for (size_t fill = 0; fill < 7; ++fill) {
        uint8_t packed[32];
        const size_t length = packSeptets(septets.data(), septets.size(), fill, packed);
        EXPECT_EQ(length, (fill + 7 * septets.size() + 7) / 8);
        uint8_t unpacked[32];
        unpackSeptets(packed, fill, septets.size(), unpacked);
        EXPECT_EQ(Bytes(unpacked, unpacked + septets.size()), septets) << "fill " << fill;
    }
}

TEST(GsmAlphabet, CountsExactlyTheEightTwoSeptetCharacters) {
    EXPECT_EQ(CountGsmExtensionChars("^{}\\[~]|"), 8u);
    EXPECT_EQ(CountGsmExtensionChars("a{b{c€\f"), 2u);
    EXPECT_EQ(CountGsmExtensionChars(""), 0u);
}

} // namespace
} // namespace velnor::test
