#include <gtest/gtest.h>

#include "reader/CardTestSupport.h"
#include "reader/ReplayDriver.h"
#include "reader/UiccChannel.h"
#include "support/CardRecord.h"
#include "support/TestVectors.h"

namespace velnor::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Trace = std::vector<std::string>;

// The exchanges of one test in apdu-traces.json.
Trace tracedBy(const std::string &test) {
    Trace trace;
    for (const json &v : loadVectors("reader/apdu-traces.json")) {
        if (v["test"] == test) {
            trace.push_back(textOf(v["exchange"]));
        }
    }
    return trace;
}

class ApduDriverOnVirtualCard : public SimulatedReader {
protected:
    void SetUp() override {
        SimulatedReader::SetUp();
        driver.setTrace([this](int h, const std::string &exchange, bool) {
            EXPECT_EQ(h, handle);
            trace.push_back(exchange);
        });
    }

    Trace trace;
    uint8_t length = 0x55;
    uint8_t status = 0xEE;
    uint8_t buffer[260] = {};
};

TEST_F(ApduDriverOnVirtualCard, SelectsReadsAndUpdatesTracingEveryExchange) {
    EXPECT_FALSE(driver.SelectFile(handle, 0x6F3A, length, 0));
    EXPECT_EQ(length, 0x55);
    EXPECT_EQ(driver.lastError(), "SELECT 6F3A: the card answered 9404.");
    ASSERT_TRUE(driver.SelectFile(handle, 0x2FE2, length, 0));
    EXPECT_EQ(length, 0x0F);
    ASSERT_TRUE(driver.GetResponse(handle, length, buffer, 0));
    EXPECT_EQ(buffer[5], 0xE2);
    ASSERT_TRUE(driver.ReadBinary(handle, 10, 0, buffer));
    EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{0x98, 0x10, 0x32}));
    EXPECT_FALSE(driver.ReadBinary(handle, 11, 0, buffer));
    EXPECT_EQ(driver.lastError(), "READ BINARY: the card answered 6700.");
    EXPECT_TRUE(driver.ReadBinary(handle, 0, 0, buffer)) << "nothing to read, nothing sent";
    ASSERT_TRUE(driver.SelectFile(handle, 0x7F10, length, 0));
    ASSERT_TRUE(driver.SelectFile(handle, 0x6F3A, length, 0));
    EXPECT_FALSE(driver.ReadRecord(handle, 30, 1, 0, buffer, false));
    EXPECT_EQ(driver.lastError(), "READ RECORD 1: the card answered 9804.");
    ASSERT_TRUE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    ASSERT_TRUE(driver.ReadRecord(handle, 30, 3, 0, buffer, false));
    EXPECT_EQ(std::string(buffer, buffer + 4), "John");
    Bytes record(30, 0xFF);
    record[0] = 'A';
    ASSERT_TRUE(driver.UpdateRecord(handle, 30, 1, 0, record.data(), false));
    EXPECT_FALSE(driver.UpdateRecord(handle, 30, 6, 0, record.data(), false));
    EXPECT_EQ(driver.lastError(), "UPDATE RECORD 6: the card answered 9402.");
    card->withCard(
        [&](VirtualSim &sim) { EXPECT_EQ(*cardRecord(sim, "3F00/7F10/6F3A", 1), record); });
    EXPECT_EQ(trace, tracedBy("selects"));
}

// The card takes the codes padded to 8 bytes; the trace shows none of them.
TEST_F(ApduDriverOnVirtualCard, ChvCommandsHideTheirCodesAndGiveTheSecondStatusByte) {
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "123456789", status));
    EXPECT_FALSE(driver.UnblockCHV(handle, 0, 0, "12345678", "123456789", status));
    EXPECT_EQ(status, 0x00);
    EXPECT_NE(driver.lastError().find("longer than 8"), std::string::npos);
    EXPECT_TRUE(trace.empty()) << "a code too long is never sent";
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "1111", status));
    EXPECT_EQ(status, 0x04);
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 2, "1111", status));
    EXPECT_EQ(status, 0x02) << "CHV2 is not initialised";
    ASSERT_TRUE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    ASSERT_TRUE(driver.ChangeCHV(handle, 0, 1, "1234", "87654321", status));
    ASSERT_TRUE(driver.DisableCHV(handle, 0, "87654321", status));
    EXPECT_FALSE(driver.DisableCHV(handle, 0, "87654321", status));
    EXPECT_EQ(status, 0x08);
    EXPECT_EQ(driver.lastError(), "DISABLE CHV: the card answered 9808.");
    ASSERT_TRUE(driver.EnableCHV(handle, 0, "87654321", status));
    ASSERT_TRUE(driver.UnblockCHV(handle, 0, 0, "12345678", "2468", status));
    EXPECT_EQ(status, 0x00);
    EXPECT_EQ(trace, tracedBy("chv"));
    EXPECT_TRUE(driver.VerifyCHV(handle, 0, 1, "2468", status));
}

TEST_F(ApduDriverOnVirtualCard, AnswerToResetFillsTheBufferAndAPulledCardFailsEverything) {
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    ASSERT_TRUE(driver.GetATRValue(handle, buffer, 0));
    Bytes atr = cardProfile().atr;
    atr.resize(64, 0x00);
    atr.push_back(0xAA); // the 64 bytes of the buffer only
    EXPECT_EQ(Bytes(buffer, buffer + 65), atr);
    setCardQuirks(*card, {.pulled = true});
    EXPECT_FALSE(driver.GetATRValue(handle, buffer, 0));
    EXPECT_EQ(driver.lastError(), "There is no card in the reader.");
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The card does not answer.");
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    EXPECT_EQ(trace.back(), "A0 20 00 01 08 ** ** ** ** ** ** ** ** -> no answer");
}

// Answers the virtual card never gives, from a recording (replay-trace.txt); a recorded PIN
// command matches any code, any other command only itself. A card that does not answer and a
// 98xx status are the virtual card's tests above.
TEST(ReplayDriver, TakesIsoStatusWordsAndRefusesMalformedAnswers) {
    std::string error;
    const auto recorded = ReplayDriver::parseTrace(vectorText("reader/replay-trace.txt"), error);
    ASSERT_TRUE(recorded) << error;
    ReplayDriver driver(*recorded);
    uint8_t length = 0;
    EXPECT_TRUE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(length, 0x1A) << "ISO/IEC 7816-3 T=0 announces the response with 61xx";
    EXPECT_TRUE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(length, 0);
    EXPECT_FALSE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The card gave an answer without a status word.");
    uint8_t buffer[260] = {};
    EXPECT_FALSE(driver.GetResponse(1, 3, buffer, 0));
    EXPECT_EQ(driver.lastError(), "GET RESPONSE: the card sent 2 bytes instead of 3.");
    EXPECT_EQ(buffer[0], 0x00) << "nothing copied from a failed answer";
    uint8_t status = 0x77;
    EXPECT_FALSE(driver.DisableCHV(1, 0, "1234", status));
    EXPECT_EQ(status, 0x00) << "the status byte comes from a 98xx status word only";
    EXPECT_FALSE(driver.SelectFile(1, 0x6F3A, length, 0));
    EXPECT_EQ(driver.lastError(), "The recording expected A0 A4 00 00 02 7F 20.");
    EXPECT_FALSE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The recording has no answer left.");
    for (const char *bad : {"A0 A4 00 00 02 3F 00 -> 9G 00", "A0 A4 00 00 02 3F 00", " -> 90 00",
                            "A0 A4 0 00 -> 90 00", "A0 B0 -> 9 0 00"}) {
        EXPECT_FALSE(ReplayDriver::parseTrace(std::string("A0 C0 -> 90 00\n") + bad, error)) << bad;
        EXPECT_EQ(error, "Line 2 is no exchange \"COMMAND -> ANSWER\".");
    }
}

// uicc-trace.txt, a UICC's answers through the replay driver: a response in two parts after
// 61xx, a repeat with the Le that 6Cxx names, an update answered with a proactive command
// pending (91xx), and each PIN refusal of TS 102 221 (10.2.1.5) as
// the status byte a SIM gives for it (GSM 11.11, 9.4.5).
TEST(UiccChannel, FetchesRepeatsAndReadsPinRefusalsAsASim) {
    std::string error;
    const auto recorded = ReplayDriver::parseTrace(vectorText("reader/uicc-trace.txt"), error);
    ASSERT_TRUE(recorded) << error;
    ReplayDriver driver(*recorded);
    UiccChannel channel(driver, 1);
    const std::array<uint16_t, 3> path{0x3F00, 0x7FFF, 0x6F3C};
    EXPECT_EQ(channel.selectPath(path), (Bytes{0x62, 0x05, 0x82, 0x01, 0x41, 0x83, 0x00}));
    EXPECT_EQ(channel.readRecord(1, 0x10), (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(channel.updateRecord(2, {0x0A, 0x0B, 0x0C, 0x0D}, 4)) << "by SFI 4";
    EXPECT_FALSE(channel.updateBinary(0x0110, {1, 2}));
    EXPECT_EQ(channel.error(), "UPDATE BINARY: the card answered 6982.");
    EXPECT_EQ(channel.attemptsLeft(0x20, 1), 2);
    const std::vector<std::tuple<uint8_t, size_t, int, uint8_t>> pins = {
        {0x20, 1, 0, 0x04}, {0x20, 1, 0, 0x40}, {0x20, 1, 0, 0x40},
        {0x26, 1, 0, 0x08}, {0x2C, 2, 0, 0x02}, {0x28, 1, 1, 0x00}};
    for (const auto &[instruction, codes, accepted, status] : pins) {
        uint8_t got = 0xEE;
        EXPECT_EQ(channel.pinCommand(instruction, 1, std::vector<std::string>(codes, "1234"), got),
                  accepted);
        EXPECT_EQ(got, status) << int(instruction);
    }
    EXPECT_FALSE(channel.selectAid({0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02}));
    EXPECT_EQ(channel.error(), "SELECT by AID: the card answered 6A82.");
    EXPECT_EQ(driver.remaining(), 0u);
}

} // namespace
} // namespace velnor::test
