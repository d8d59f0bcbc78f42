// Every decoder against every prefix of valid input. Each prefix sits in a buffer of exactly its
// size, so the sanitizer build reports any read past the length given.

#include "CodecTestSupport.h"

namespace velnor::test {
namespace {

struct Record {
    const char *hex;
    bool received;
};

const Record kGsmRecords[] = {
    {"07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37", true},
    {"0011000B916407281553F80000AA0AE8329BFD4697D9EC37", false},
    {"0019000B916407281553F80000993092516195800AE8329BFD4697D9EC37", false},
    {"0009000B916407281553F80000420000000000000AE8329BFD4697D9EC37", false},
    {"00440B911346610089F600002080629173140809050003CC02019069", true},
    {"00440B911346610089F60008208062917314080A05000301020100480069", true},
    {"000407D049B7F90D0000208062917314080AE8329BFD4697D9EC37", true},
};

const char *const kCdmaRecords[] = {
    "23 00 00021002 020501D55448D0 0815 0003112340 0106102C8CBB366F 0306080412134520",
    "2C 00 00021002 020C8884959A1C99981899199A00 0817 0003100010 01102038023803900 "
    "7E006F8032801027168",
};

TEST(TruncatedInput, GsmPdusFailCleanlyAtEveryLength) {
    for (const Record &record : kGsmRecords) {
        const Bytes full = fromHex(record.hex);
        SM_PARAM param;
        ASSERT_TRUE(CMyTools::gsmDecodePdu(full.data(), full.size(), param, record.received));
        for (size_t length = 0; length < full.size(); ++length) {
            const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_FALSE(
                CMyTools::gsmDecodePdu(prefix.data(), prefix.size(), param, record.received))
                << record.hex << " cut to " << length;
            EXPECT_TRUE(param.text.empty() && param.number.empty() && param.smsc.empty());
        }
    }
}

TEST(TruncatedInput, CdmaRecordsFailCleanlyAtEveryLength) {
    for (const char *hex : kCdmaRecords) {
        const Bytes full = fromHex(hex);
        SM_PARAM param;
        ASSERT_TRUE(CMyTools::cdmaDecodePdu(full.data(), full.size(), param, true));
        for (size_t length = 0; length < full.size(); ++length) {
            const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_FALSE(CMyTools::cdmaDecodePdu(prefix.data(), prefix.size(), param, true))
                << hex << " cut to " << length;
            EXPECT_TRUE(param.text.empty() && param.number.empty());
        }
    }
}

TEST(TruncatedInput, TextDecodersStopAtTheLength) {
    const Bytes body = fromHex("05 05 30 2D 82 D3 2D 31");
    const std::string expected[] = {"", "", "", "", "-", "-Բ", "-Բփ", "-Բփ-", "-Բփ-1"};
    for (size_t length = 0; length <= body.size(); ++length) {
        const Bytes prefix(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(CMyTools::UCS2ToGB82(prefix.data(), prefix.size()), expected[length]);
        // The same characters as a 0x81 body start one byte earlier.
        const std::string decoded81 = CMyTools::UCS2ToGB81(prefix.data(), prefix.size());
        EXPECT_LE(decoded81.size(), 3 * length);
        const std::string ucs2 = CMyTools::gsmDecodeUcs2(prefix.data(), prefix.size());
        EXPECT_LE(ucs2.size(), 3 * (length / 2));
        EXPECT_LE(CMyTools::bcd2asc(prefix.data(), prefix.size()).size(), 2 * length);
        EXPECT_LE(CMyTools::gsm2asc(prefix.data(), prefix.size()).size(), 2 * length);
    }
}

} // namespace
} // namespace velnor::test
