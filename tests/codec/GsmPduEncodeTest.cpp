#include "CodecTestSupport.h"

namespace velnor::test {
namespace {

SM_PARAM composed(std::string_view number, std::string_view text, uint8_t dcs) {
    SM_PARAM p;
    p.smscType = 0x91;
    p.smsc = "31624000000";
    p.numberType = 0x91;
    p.number = number;
    p.dcs = dcs;
    p.text = text;
    return p;
}

SM_PARAM roundTrip(const SM_PARAM &in) {
    const Bytes pdu = CMyTools::gsmEncodePdu(in);
    SM_PARAM out;
    EXPECT_TRUE(CMyTools::gsmDecodePdu(pdu.data(), pdu.size(), out, false)) << toHex(pdu);
    EXPECT_LE(pdu.size(), 175u);
    return out;
}

TEST(GsmPduEncode, ProducesTheStoredSubmitByteForByte) {
    // Service centre and text of the developershome.com example, composed as a submit: first
    // octet 0x11, reference 0, PID 0, relative validity 0xA7 (one day).
    EXPECT_EQ(
        toHex(CMyTools::gsmEncodePdu(composed("31641600986", "How are you?", 0))),
        toHex(fromHex("07911326040000F0 1100 0B911346610089F6 0000A7 0CC8F71D14969741F977FD07")));
    EXPECT_EQ(toHex(CMyTools::gsmEncodePdu(composed("123", "中文", 8))),
              toHex(fromHex("07911326040000F0 1100 039121F3 0008A7 044E2D6587")));
}

TEST(GsmPduEncode, EmptyServiceCentreAndNumber) {
    SM_PARAM p = composed("", "x", 0);
    p.smsc.clear();
    p.numberType = 0x81;
    EXPECT_EQ(toHex(CMyTools::gsmEncodePdu(p)), toHex(fromHex("00 1100 0081 0000A7 0178")));
}

TEST(GsmPduEncode, RoundTripsThroughTheDecoder) {
    const SM_PARAM cases[] = {
        composed("4930123456789", "Grüße {an} alle € ^_^", 0),
        composed("4930123456789", "Привет, 世界 😀", 8),
        composed("12", "Ünïcode in Latin-1 octets", 4),
        composed("", "", 0),
    };
    for (const SM_PARAM &in : cases) {
        const SM_PARAM out = roundTrip(in);
        EXPECT_EQ(out.smscType, in.smscType);
        EXPECT_EQ(out.smsc, in.smsc);
        EXPECT_EQ(out.numberType, in.numberType);
        EXPECT_EQ(out.number, in.number);
        EXPECT_EQ(out.dcs, in.dcs);
        EXPECT_EQ(out.text, in.text);
        EXPECT_EQ(toHex(out.validityPeriod), "A7");
    }
}

TEST(GsmPduEncode, AlphanumericDestinationRoundTrips) {
    SM_PARAM p = composed("Velnor Info", "hi", 0);
    p.numberType = 0xD0;
    EXPECT_EQ(roundTrip(p).number, "Velnor Info");
    p.number = "Twelve chars";
    EXPECT_EQ(roundTrip(p).number, "Twelve char");
}

TEST(GsmPduEncode, NumbersAreCutToTwentyDigits) {
    EXPECT_EQ(roundTrip(composed("123456789012345678901234", "x", 0)).number,
              "12345678901234567890");
}

struct CutCase {
    std::string text;
    uint8_t dcs;
    size_t keptChars; // characters of the text that survive
};

std::string repeat(std::string_view unit, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out += unit;
    }
    return out;
}

TEST(GsmPduEncode, LongTextsAreCutAtCharacterBoundaries) {
    const std::string a159 = repeat("a", 159);
    const CutCase cases[] = {
        {repeat("a", 161), 0, 160},
        {repeat("a", 158) + "{", 0, 159}, // the escape and its code fit exactly
        {a159 + "{", 0, 159},             // the escape would fit, its code would not
        {repeat("{", 81), 0, 80},
        {repeat("中", 71), 8, 70},
        {repeat("中", 69) + "😀", 8, 69}, // never half a surrogate pair
        {repeat("é", 141), 4, 140},
    };
    for (const CutCase &c : cases) {
        const SM_PARAM out = roundTrip(composed("1", c.text, c.dcs));
        size_t pos = 0;
        std::string expected;
        for (size_t i = 0; i < c.keptChars; ++i) {
            const size_t start = pos;
            do {
                ++pos;
            } while (pos < c.text.size() && (static_cast<uint8_t>(c.text[pos]) & 0xC0) == 0x80);
            expected += c.text.substr(start, pos - start);
        }
        EXPECT_EQ(out.text, expected) << c.text;
    }
}

struct UsageCase {
    std::string text;
    bool cdma;
    size_t recordLength; // of the CDMA record
    SmsCoding coding;
    size_t used;
    size_t capacity;
};

TEST(SmsTextUsage, CountsInTheSmallestCodingAgainstOneMessage) {
    const UsageCase cases[] = {
        {repeat("a", 160), false, 0, SmsCoding::Gsm7, 160, 160},
        {repeat("a", 159) + "€", false, 0, SmsCoding::Gsm7, 161, 160}, // "€" takes two septets
        {repeat("Ж", 76), false, 0, SmsCoding::Ucs2, 76, 70},
        {"a😀", false, 0, SmsCoding::Ucs2, 3, 70},
        {repeat("a", 160), true, 255, SmsCoding::Ascii7, 160, 160},
        {repeat("a", 159) + "ñ", true, 255, SmsCoding::Latin1, 160, 140},
        {"a€", true, 255, SmsCoding::Utf16, 2, 70},
        // A record of 40 bytes leaves 17 octets for the user data of a submit to 5551234.
        {"abc", true, 40, SmsCoding::Ascii7, 3, 17},
        {"ñ", true, 40, SmsCoding::Latin1, 1, 15},
    };
    for (const UsageCase &c : cases) {
        const SmsTextUsage usage =
            c.cdma ? cdmaTextUsage(c.text, "5551234", c.recordLength) : gsmTextUsage(c.text);
        EXPECT_EQ(usage.coding, c.coding) << c.text;
        EXPECT_EQ(usage.used, c.used) << c.text;
        EXPECT_EQ(usage.capacity, c.capacity) << c.text;
    }
}

} // namespace
} // namespace velnor::test
