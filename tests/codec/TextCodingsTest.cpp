// What the vector files do not hold: bytes that are not UTF-8, hex, septets after fill bits.

#include "CodecTestSupport.h"
#include "codec/GsmAlphabet.h"

namespace velnor::test {
namespace {

// Each byte of a broken sequence is one replacement character, and what follows is kept.
TEST(TextCodings, BytesThatAreNotUtf8AreDoubleByteAndCodedAsReplacementCharacters) {
    EXPECT_TRUE(CMyTools::IsDBString("\xC3"));
    EXPECT_EQ(toHex(CMyTools::gsmEncodeUcs2("\xE4\xB8(")), "FFFDFFFD0028");
}

TEST(TextCodings, HexIsUpperCaseAndParsedStrictly) {
    const Bytes bytes = {0x00, 0xAB, 0xFF};
    EXPECT_EQ(CMyTools::hex2asc(bytes.data(), bytes.size()), "00ABFF");
    EXPECT_EQ(CMyTools::asc2hex("00abFF"), bytes);
    EXPECT_EQ(CMyTools::asc2hex(""), Bytes{});
    for (const char *bad : {"ABC", "0G", " A", "AB ", "0x12"}) {
        EXPECT_FALSE(CMyTools::asc2hex(bad).has_value()) << bad;
    }
}

TEST(TextCodings, SeptetsPackedAfterFillBitsReadBackAsTheText) {
    const std::string text = "Fill bits {ok}";
    const Bytes septets = CMyTools::asc2gsm(text);
    for (size_t fill = 0; fill < 50; ++fill) { // 49: after a header of seven septets
        uint8_t packed[32];
        const size_t length = packSeptets(septets.data(), septets.size(), fill, packed);
        EXPECT_EQ(length, (fill + 7 * septets.size() + 7) / 8);
        std::string read;
        appendPackedGsmText(packed, fill, septets.size(), read);
        EXPECT_EQ(read, text) << "fill " << fill;
    }
}

} // namespace
} // namespace velnor::test
