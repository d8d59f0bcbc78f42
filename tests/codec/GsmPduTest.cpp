#include "CodecTestSupport.h"

namespace velnor::test {
namespace {

SM_PARAM decodeOk(std::string_view hex, bool received) {
    const Bytes pdu = fromHex(hex);
    SM_PARAM param;
    EXPECT_TRUE(CMyTools::gsmDecodePdu(pdu.data(), pdu.size(), param, received)) << hex;
    return param;
}

bool decodes(std::string_view hex, bool received) {
    const Bytes pdu = fromHex(hex);
    SM_PARAM param;
    return CMyTools::gsmDecodePdu(pdu.data(), pdu.size(), param, received);
}

Bytes timeStampOf(const SM_PARAM &param) {
    return Bytes(std::begin(param.timeStamp), std::end(param.timeStamp));
}

TEST(GsmPduDecode, DeliverFromTheClassicPduTutorial) {
    // The SMS-DELIVER example of the widely copied "SMS and the PDU format" tutorial
    // (dreamfabric.com): "hellohello" from 27838890001 through 27381000015.
    const SM_PARAM p =
        decodeOk("07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37", true);
    EXPECT_EQ(p.smscType, 0x91);
    EXPECT_EQ(p.smsc, "27381000015");
    EXPECT_EQ(p.firstOctet, 0x04);
    EXPECT_EQ(p.numberType, 0xC8);
    EXPECT_EQ(p.number, "27838890001");
    EXPECT_EQ(p.pid, 0);
    EXPECT_EQ(p.dcs, 0);
    EXPECT_EQ(toHex(timeStampOf(p)), "99309251619580");
    EXPECT_EQ(p.text, "hellohello");
    EXPECT_EQ(p.messageClass, -1);
}

TEST(GsmPduDecode, DeliverFromDevelopersHome) {
    // The SMS-DELIVER example of the developershome.com SMS tutorial: "How are you?".
    const SM_PARAM p = decodeOk(
        "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07", true);
    EXPECT_EQ(p.smsc, "31624000000");
    EXPECT_EQ(p.numberType, 0x91);
    EXPECT_EQ(p.number, "31641600986");
    EXPECT_EQ(toHex(timeStampOf(p)), "20806291731408");
    EXPECT_EQ(p.text, "How are you?");
}

TEST(GsmPduDecode, SubmitFromTheClassicPduTutorial) {
    // The SMS-SUBMIT example of the same dreamfabric.com tutorial, without a service centre.
    const SM_PARAM p = decodeOk("0011000B916407281553F80000AA0AE8329BFD4697D9EC37", false);
    EXPECT_EQ(p.smscType, 0);
    EXPECT_EQ(p.smsc, "");
    EXPECT_EQ(p.number, "46708251358");
    EXPECT_EQ(toHex(p.validityPeriod), "AA");
    EXPECT_EQ(p.text, "hellohello");
    EXPECT_EQ(toHex(timeStampOf(p)), "00000000000000");
}

TEST(GsmPduDecode, TheDirectionMustMatchTheMessageType) {
    EXPECT_FALSE(decodes("0011000B916407281553F80000AA0AE8329BFD4697D9EC37", true));
    EXPECT_FALSE(decodes("00040B911346610089F60000208062917314080AE8329BFD4697D9EC37", false));
    // A reserved message type is read as a deliver (GSM 03.40, 9.2.3.1).
    EXPECT_TRUE(decodes("00070B911346610089F60000208062917314080AE8329BFD4697D9EC37", true));
}

// A deliver from +31641600986 with the given coding scheme and user data.
std::string deliverWith(std::string_view dcs, std::string_view userData, uint8_t first = 0x04) {
    return "00" + toHex({first}) + "0B911346610089F600" + std::string(dcs) + "20806291731408" +
           std::string(userData);
}

struct DcsCase {
    const char *dcs;
    const char *userData;
    const char *text;
    int messageClass;
};

constexpr const char *kGsm7 = "0AE8329BFD4697D9EC37";
constexpr const char *kOctets = "0341E9FF";
constexpr const char *kUcs2 = "04004E4E2D";

// GSM 03.38, 4: every coding group, the reserved ones read as the default alphabet.
const DcsCase kDcsCases[] = {
    {"00", kGsm7, "hellohello", -1}, {"04", kOctets, "Aéÿ", -1},
    {"08", kUcs2, "N中", -1},        {"0C", kGsm7, "hellohello", -1},
    {"10", kGsm7, "hellohello", 0},  {"15", kOctets, "Aéÿ", 1},
    {"1A", kUcs2, "N中", 2},         {"13", kGsm7, "hellohello", 3},
    {"40", kGsm7, "hellohello", -1}, {"48", kUcs2, "N中", -1},
    {"56", kOctets, "Aéÿ", 2},       {"80", kGsm7, "hellohello", -1},
    {"B4", kGsm7, "hellohello", -1}, {"C8", kGsm7, "hellohello", -1},
    {"D0", kGsm7, "hellohello", -1}, {"E8", kUcs2, "N中", -1},
    {"F0", kGsm7, "hellohello", 0},  {"F5", kOctets, "Aéÿ", 1},
    {"F2", kGsm7, "hellohello", 2},  {"FF", kOctets, "Aéÿ", 3},
};

class DcsTest : public ::testing::TestWithParam<DcsCase> {};

TEST_P(DcsTest, DecodesTheTextInTheSchemesAlphabet) {
    const SM_PARAM p = decodeOk(deliverWith(GetParam().dcs, GetParam().userData), true);
    EXPECT_EQ(toHex({p.dcs}), GetParam().dcs);
    EXPECT_EQ(p.text, GetParam().text);
    EXPECT_EQ(p.messageClass, GetParam().messageClass);
}

INSTANTIATE_TEST_SUITE_P(Groups, DcsTest, ::testing::ValuesIn(kDcsCases));

TEST(GsmPduDecode, CompressedTextIsRefused) {
    for (const char *dcs : {"20", "24", "3A", "68"}) {
        EXPECT_FALSE(decodes(deliverWith(dcs, kOctets), true)) << dcs;
    }
}

struct ValidityCase {
    const char *firstOctet;
    const char *validity;
};

// GSM 03.40, 9.2.3.3 and 9.2.3.12: none, relative, enhanced and absolute formats.
const ValidityCase kValidityCases[] = {
    {"01", ""}, {"11", "AA"}, {"09", "42000000000000"}, {"19", "99309251619580"}};

class ValidityTest : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(ValidityTest, KeepsTheValidityPeriodAsStored) {
    const std::string head = std::string("00") + GetParam().firstOctet + "000B916407281553F80000";
    const std::string validity = GetParam().validity;
    const SM_PARAM p = decodeOk(head + validity + "0AE8329BFD4697D9EC37", false);
    EXPECT_EQ(toHex(p.validityPeriod), validity);
    EXPECT_EQ(p.text, "hellohello");
    if (!validity.empty()) {
        // Missing one validity byte shifts the user data length onto the text.
        EXPECT_FALSE(decodes(head + validity.substr(2) + "0AE8329BFD4697D9EC37", false));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ValidityTest, ::testing::ValuesIn(kValidityCases));

TEST(GsmPduDecode, ConcatenationWithEightBitReferenceAndOneFillBit) {
    // Header 05 00 03 CC 02 01 is 48 bits; one fill bit brings "Hi" to septet 7 (UDL 9).
    const SM_PARAM p = decodeOk(deliverWith("00", "09050003CC02019069", 0x44), true);
    EXPECT_EQ(p.text, "Hi");
    EXPECT_EQ(toHex(p.userDataHeader), "0003CC0201");
    EXPECT_EQ(p.concat.reference, 0xCC);
    EXPECT_EQ(p.concat.total, 2);
    EXPECT_EQ(p.concat.sequence, 1);
}

TEST(GsmPduDecode, ConcatenationWithSixteenBitReferenceAndNoFillBits) {
    const SM_PARAM p = decodeOk(deliverWith("00", "0A06080412340302EF35", 0x44), true);
    EXPECT_EQ(p.text, "ok");
    EXPECT_EQ(p.concat.reference, 0x1234);
    EXPECT_EQ(p.concat.total, 3);
    EXPECT_EQ(p.concat.sequence, 2);
}

TEST(GsmPduDecode, HeaderFollowedByFourFillBits) {
    // A 3-octet header (an element of length 0) is 24 bits, padded to 28.
    const SM_PARAM p = decodeOk(deliverWith("00", "060270 00 804C03", 0x44), true);
    EXPECT_EQ(p.text, "Hi");
    EXPECT_EQ(p.concat.total, 0);
}

TEST(GsmPduDecode, HeaderInUcs2AndEightBitData) {
    SM_PARAM p = decodeOk(deliverWith("08", "0A05000301020100480069", 0x44), true);
    EXPECT_EQ(p.text, "Hi");
    EXPECT_EQ(p.concat.sequence, 1);
    p = decodeOk(deliverWith("04", "07050003010201 41", 0x44), true);
    EXPECT_EQ(p.text, "A");
}

TEST(GsmPduDecode, ConcatenationElementsWithImpossibleNumbersAreIgnored) {
    for (const char *header : {"050003CC0200", "050003CC0003", "050003CC0203", "0400020102"}) {
        const std::string ud =
            toHex({static_cast<uint8_t>(std::string(header).size() / 2)}) + header;
        const SM_PARAM p = decodeOk(deliverWith("04", ud, 0x44), true);
        EXPECT_EQ(p.concat.total, 0) << header;
    }
}

TEST(GsmPduDecode, MalformedHeadersAndLengthsAreRefused) {
    const char *bad[] = {
        "09060003CC02019069", // header length beyond the user data
        "09050003CC0201",     // user data shorter than its length
        "0905000400020190",   // element length beyond the header
        "00",                 // a header indicated but no user data at all
        "A1 00",              // more than 160 septets
    };
    for (const char *userData : bad) {
        EXPECT_FALSE(decodes(deliverWith("00", userData, 0x44), true)) << userData;
    }
    EXPECT_FALSE(decodes(deliverWith("04", "8D" + std::string(282, '0')), true)); // > 140 octets
    EXPECT_FALSE(decodes("0C91" + std::string(46, '1'), true));     // service centre of 12 octets
    EXPECT_FALSE(decodes("00041591" + std::string(22, '1'), true)); // 21 address digits
}

TEST(GsmPduDecode, AlphanumericOriginator) {
    // Type 0xD0: type of number 101, the 4 septets of "Info" in 7 semi-octets.
    const SM_PARAM p = decodeOk("000407D049B7F90D0000208062917314080AE8329BFD4697D9EC37", true);
    EXPECT_EQ(p.numberType, 0xD0);
    EXPECT_EQ(p.number, "Info");
}

TEST(GsmPduDecode, TheAddressLengthCountsTheDigitsWhateverTheFiller) {
    // The two voice mail indications of the AOSP telephony GsmSmsTest (testCingularVoiceMail):
    // the one-digit originator "5" is stored as 05, its filler nibble 0 rather than F.
    for (const char *hex : {"07912180958750F84401800500C87020026195702B06040102000200",
                            "07912180958750F84401800500C07020027160112B06040102000000"}) {
        const SM_PARAM p = decodeOk(hex, true);
        EXPECT_EQ(p.numberType, 0x80);
        EXPECT_EQ(p.number, "5") << hex;
    }
}

TEST(GsmPduDecode, FailureLeavesEveryFieldEmpty) {
    const Bytes pdu = fromHex(deliverWith("00", "0BE8329BFD4697D9EC37"));
    SM_PARAM p;
    p.text = "old";
    p.number = "123";
    p.messageClass = 2;
    EXPECT_FALSE(CMyTools::gsmDecodePdu(pdu.data(), pdu.size(), p, true));
    EXPECT_EQ(p.text, "");
    EXPECT_EQ(p.number, "");
    EXPECT_EQ(p.smscType, 0);
    EXPECT_EQ(p.messageClass, -1);
    EXPECT_EQ(toHex(timeStampOf(p)), "00000000000000");
}

TEST(GsmPduDecode, CardPaddingAfterThePduIsAccepted) {
    for (const char *padding : {"FF", "00"}) {
        std::string hex = deliverWith("00", kGsm7);
        for (int i = 0; i < 100; ++i) {
            hex += padding;
        }
        EXPECT_EQ(decodeOk(hex, true).text, "hellohello");
        EXPECT_EQ(decodeOk("FF" + hex.substr(2), true).smsc, "")
            << "0xFF length: no service centre";
    }
}

} // namespace
} // namespace velnor::test
