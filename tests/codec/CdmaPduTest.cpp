#include "CodecTestSupport.h"

namespace velnor::test {
namespace {

SM_PARAM decodeOk(const Bytes &record, bool received) {
    SM_PARAM param;
    EXPECT_TRUE(CMyTools::cdmaDecodePdu(record.data(), record.size(), param, received))
        << toHex(record);
    return param;
}

// Assembled by hand from the field layout of 3GPP2 C.S0015: a point-to-point message of
// teleservice 4098 (00 02 1002); originating address (02 05) in DTMF digit mode, 7 digits
// 5551234; bearer data (08 15) with the message identifier (00 03: deliver, id 0x1234), user
// data (01 06: 7-bit ASCII, 5 characters "Hello") and the time stamp (03 06: 08-04-12 13:45:20).
const char *const kHandDeliver =
    "23 00 00021002 020501D55448D0 0815 0003112340 0106102C8CBB366F 0306080412134520";

// The same layout with an ASCII address, number type international (02 0C: "+49301234") and
// UTF-16 user data "Grüße 中".
const char *const kHandUnicode = "2C 00 00021002 020C8884959A1C99981899199A00 0817 0003100010 "
                                 "01102038023803900 7E006F8032801027168";

TEST(CdmaPduDecode, HandAssembledDeliver) {
    const SM_PARAM p = decodeOk(fromHex(kHandDeliver), true);
    EXPECT_EQ(p.numberType, 0x81);
    EXPECT_EQ(p.number, "5551234");
    EXPECT_EQ(p.text, "Hello");
    EXPECT_EQ(p.cdmaMessageId, 0x1234);
    EXPECT_EQ(toHex(Bytes(std::begin(p.timeStamp), std::end(p.timeStamp))), "08041213452000");
}

TEST(CdmaPduDecode, InternationalAsciiAddressAndUnicodeText) {
    const SM_PARAM p = decodeOk(fromHex(kHandUnicode), true);
    EXPECT_EQ(p.numberType, 0x91);
    EXPECT_EQ(p.number, "49301234");
    EXPECT_EQ(p.text, "Grüße 中");
}

TEST(CdmaPduDecode, TheDirectionChoosesTheAddress) {
    const SM_PARAM p = decodeOk(fromHex(kHandDeliver), false);
    EXPECT_EQ(p.number, "");
    EXPECT_EQ(p.text, "Hello");
}

// A record with one user data subparameter (C.S0015, 4.5.2) given as hex.
Bytes withUserData(const std::string &userData) {
    const std::string sub = "01" + toHex({static_cast<uint8_t>(userData.size() / 2)}) + userData;
    const std::string message =
        "000002100208" + toHex({static_cast<uint8_t>(sub.size() / 2)}) + sub;
    return fromHex(toHex({static_cast<uint8_t>(message.size() / 2)}) + message);
}

bool decodes(const Bytes &record) {
    SM_PARAM param;
    return CMyTools::cdmaDecodePdu(record.data(), record.size(), param, true);
}

TEST(CdmaPduDecode, UserDataEncodings) {
    // Encoding (5 bits), count (8 bits), then the characters, most significant bit first.
    const std::pair<const char *, const char *> cases[] = {
        {"00120F48", "Aé"},    // octets 0x41 0xE9
        {"40120F48", "Aé"},    // ISO-8859-1
        {"180C10", "A"},       // IA5
        {"100C10", "A"},       // 7-bit ASCII
        {"4811B000", "@"},     // GSM 7-bit: escape then a code the extension table lacks
        {"481C136A00", "A{"},  // GSM 7-bit with an extension character
        {"2016C1EEF000", "😀"}, // UTF-16 surrogate pair
    };
    for (const auto &[userData, text] : cases) {
        EXPECT_EQ(decodeOk(withUserData(userData), true).text, text) << userData;
    }
}

TEST(CdmaPduDecode, MalformedAndUnsupportedRecordsAreRefused) {
    for (const char *encoding :
         {"080A0A08", "280A0A08", "300A0A08", "380A0A08", "500A0A08", "F80A0A08", "102C10"}) {
        EXPECT_FALSE(decodes(withUserData(encoding))) << encoding;
    }
    const char *records[] = {
        "00",                       // no message
        "06 0000021002",            // shorter than its length
        "03 020000",                // acknowledge messages hold no text
        "04 00000510",              // parameter longer than the message
        "06 00080401020304",        // bearer subparameter longer than the bearer data
        "07 00020301D5 0000",       // address with more digits than bytes
        "0A 000807 03050804121345", // time stamp of five bytes
    };
    for (const char *hex : records) {
        EXPECT_FALSE(decodes(fromHex(hex))) << hex;
    }
}

TEST(CdmaPduEncode, ProducesTheRecordByteForByte) {
    // Status 7, MSG_LEN, point-to-point, teleservice 4098, DTMF destination address, bearer
    // data of a submit (message identifier from a hash of text and number) in 7-bit ASCII.
    EXPECT_EQ(toHex(CMyTools::encodesms("Hello", "5551234")),
              toHex(fromHex("071B 00 00021002 040501D55448D0 080D 000325D1B0 0106102C8CBB366F")));
}

TEST(CdmaPduEncode, RoundTripsThroughTheDecoder) {
    const std::tuple<const char *, const char *, uint8_t, const char *> cases[] = {
        {"Hello", "5551234", 0x81, "5551234"},
        {"Grüße 中 😀", "+4930123", 0x91, "4930123"},
        {"*#", "*31#0", 0x81, "*31#0"},
        {"x", "12ab", 0x81, "12ab"},
        {"", "", 0x81, ""},
    };
    for (const auto &[text, number, type, digits] : cases) {
        const Bytes record = CMyTools::encodesms(text, number);
        ASSERT_GE(record.size(), 2u);
        EXPECT_EQ(record[0], 0x07);
        EXPECT_EQ(record[1], record.size() - 2);
        const SM_PARAM p = decodeOk(Bytes(record.begin() + 1, record.end()), false);
        EXPECT_EQ(p.text, text);
        EXPECT_EQ(p.numberType, type);
        EXPECT_EQ(p.number, digits);
        EXPECT_NE(p.cdmaMessageId, 0);
    }
}

TEST(CdmaPduEncode, TakesTheSmallestCodingAndCutsToOneMessage) {
    // 7-bit ASCII (encoding 2) holds 160 characters, ISO-8859-1 (8) 140, UTF-16 (4) 70 units;
    // a short record holds less.
    const std::tuple<const char *, size_t, unsigned, size_t> cases[] = {
        {"a", 255, 2, 160}, {"ñ", 255, 8, 140}, {"中", 255, 4, 70},
        {"😀", 255, 4, 35},  {"a", 40, 2, 17},   {"ñ", 40, 8, 15},
    };
    for (const auto &[unit, recordLength, encoding, kept] : cases) {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            text += unit;
        }
        const Bytes record = CMyTools::encodesms(text, "5551234", recordLength);
        EXPECT_LE(record.size(), recordLength);
        const SM_PARAM p = decodeOk(Bytes(record.begin() + 1, record.end()), false);
        std::string expected;
        for (size_t i = 0; i < kept; ++i) {
            expected += unit;
        }
        EXPECT_EQ(p.text, expected) << unit << " in " << recordLength;
        // MSG_ENCODING leads the user data, which follows the 7 DTMF digits and the identifier.
        EXPECT_EQ(record[23] >> 3, encoding) << unit;
    }
}

} // namespace
} // namespace velnor::test
