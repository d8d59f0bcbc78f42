#include <gtest/gtest.h>

#include <deque>

#include "CardTestSupport.h"

namespace velnor::test {
namespace {

using Bytes = std::vector<uint8_t>;

class ApduDriverOnVirtualCard : public SimulatedReader {
protected:
    void SetUp() override {
        SimulatedReader::SetUp();
        driver.setTrace([this](int h, const std::string &exchange, bool) {
            EXPECT_EQ(h, handle);
            trace.push_back(exchange);
        });
    }
    unsigned cardCommands() {
        return card->withCard([](VirtualSim &sim) { return sim.commandCount(); });
    }
    bool openPhonebook() {
        uint8_t status = 0;
        uint8_t length = 0;
        return driver.VerifyCHV(handle, 0, 1, "1234", status) &&
               driver.SelectFile(handle, 0x7F10, length, 0) &&
               driver.SelectFile(handle, 0x6F3A, length, 0);
    }

    std::vector<std::string> trace;
};

TEST_F(ApduDriverOnVirtualCard, SelectGivesTheLengthThatGetResponseFetches) {
    uint8_t length = 0;
    ASSERT_TRUE(driver.SelectFile(handle, 0x3F00, length, 0));
    EXPECT_EQ(length, 0x16);
    uint8_t buffer[260] = {};
    ASSERT_TRUE(driver.GetResponse(handle, length, buffer, 0));
    EXPECT_EQ(buffer[4] << 8 | buffer[5], 0x3F00);
    EXPECT_EQ(buffer[18], 0x83);
    ASSERT_TRUE(driver.SelectFile(handle, 0x2FE2, length, 0));
    EXPECT_EQ(length, 0x0F);
    ASSERT_TRUE(driver.GetResponse(handle, length, buffer, 0));
    EXPECT_EQ(buffer[3], 10);
    EXPECT_EQ(trace, (std::vector<std::string>{
                         "A0 A4 00 00 02 3F 00 -> 9F 16",
                         "A0 C0 00 00 16 -> 00 00 7F 60 3F 00 01 00 00 00 00 00 09 01 01 01 02 "
                         "00 83 8A 00 00 90 00",
                         "A0 A4 00 00 02 2F E2 -> 9F 0F",
                         "A0 C0 00 00 0F -> 00 00 00 0A 2F E2 04 00 04 F0 44 01 02 00 00 90 00",
                     }));
}

TEST_F(ApduDriverOnVirtualCard, MissingFileFailsWithTheStatusWord) {
    uint8_t length = 0x55;
    EXPECT_FALSE(driver.SelectFile(handle, 0x6F3A, length, 0));
    EXPECT_EQ(length, 0x55);
    EXPECT_EQ(driver.lastError(), "SELECT 6F3A: the card answered 9404.");
}

TEST_F(ApduDriverOnVirtualCard, ReadsTheIdentity) {
    uint8_t length = 0;
    ASSERT_TRUE(driver.SelectFile(handle, 0x2FE2, length, 0));
    uint8_t buffer[260] = {};
    ASSERT_TRUE(driver.ReadBinary(handle, 10, 0, buffer));
    EXPECT_EQ(buffer[0], 0x98);
    EXPECT_EQ(buffer[9], 0x76);
    EXPECT_FALSE(driver.ReadBinary(handle, 11, 0, buffer));
    EXPECT_EQ(driver.lastError(), "READ BINARY: the card answered 6700.");
    const unsigned before = cardCommands();
    EXPECT_TRUE(driver.ReadBinary(handle, 0, 0, buffer)) << "nothing to read";
    EXPECT_EQ(cardCommands(), before);
}

TEST_F(ApduDriverOnVirtualCard, ReadsAndUpdatesRecords) {
    ASSERT_TRUE(openPhonebook());
    uint8_t buffer[260] = {};
    ASSERT_TRUE(driver.ReadRecord(handle, 30, 3, 0, buffer, false));
    EXPECT_EQ(std::string(buffer, buffer + 4), "John");
    Bytes record(30, 0xFF);
    record[0] = 'A';
    ASSERT_TRUE(driver.UpdateRecord(handle, 30, 1, 0, record.data(), false));
    card->withCard([&](VirtualSim &sim) { EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 1), record); });
    EXPECT_EQ(trace.back(), "A0 DC 01 04 1E 41 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF "
                            "FF FF FF FF FF FF FF FF FF FF FF FF -> 90 00");
    EXPECT_FALSE(driver.ReadRecord(handle, 30, 6, 0, buffer, false));
    EXPECT_EQ(driver.lastError(), "READ RECORD 6: the card answered 9402.");
}

TEST_F(ApduDriverOnVirtualCard, RecordsNeedChv1) {
    uint8_t length = 0;
    driver.SelectFile(handle, 0x7F10, length, 0);
    driver.SelectFile(handle, 0x6F3A, length, 0);
    uint8_t buffer[260] = {};
    EXPECT_FALSE(driver.ReadRecord(handle, 30, 1, 0, buffer, false));
    EXPECT_EQ(driver.lastError(), "READ RECORD 1: the card answered 9804.");
}

TEST_F(ApduDriverOnVirtualCard, ChvFailuresGiveTheSecondStatusByte) {
    uint8_t status = 0xEE;
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "1111", status));
    EXPECT_EQ(status, 0x04);
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "1111", status));
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "1111", status));
    EXPECT_EQ(status, 0x40);
    EXPECT_EQ(driver.lastError(), "VERIFY CHV: the card answered 9840.");
    EXPECT_FALSE(driver.UnblockCHV(handle, 0, 0, "00000000", "4321", status));
    EXPECT_EQ(status, 0x04);
    EXPECT_TRUE(driver.UnblockCHV(handle, 0, 0, "12345678", "4321", status));
    EXPECT_EQ(status, 0x00);
    EXPECT_FALSE(driver.EnableCHV(handle, 0, "4321", status));
    EXPECT_EQ(status, 0x08) << "already enabled";
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 2, "4321", status));
    EXPECT_EQ(status, 0x02) << "CHV2 is not initialised";
}

// The card takes the codes only padded to 8 bytes; the trace shows none of them.
TEST_F(ApduDriverOnVirtualCard, CodesArePaddedToEightBytesAndNeverTraced) {
    uint8_t status = 0;
    ASSERT_TRUE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    ASSERT_TRUE(driver.ChangeCHV(handle, 0, 1, "1234", "87654321", status));
    ASSERT_TRUE(driver.DisableCHV(handle, 0, "87654321", status));
    ASSERT_TRUE(driver.EnableCHV(handle, 0, "87654321", status));
    ASSERT_TRUE(driver.UnblockCHV(handle, 0, 0, "12345678", "2468", status));
    const std::string eight = "** ** ** ** ** ** ** **";
    EXPECT_EQ(trace, (std::vector<std::string>{
                         "A0 20 00 01 08 " + eight + " -> 90 00",
                         "A0 24 00 01 10 " + eight + " " + eight + " -> 90 00",
                         "A0 26 00 01 08 " + eight + " -> 90 00",
                         "A0 28 00 01 08 " + eight + " -> 90 00",
                         "A0 2C 00 00 10 " + eight + " " + eight + " -> 90 00",
                     }));
}

TEST_F(ApduDriverOnVirtualCard, CodeLongerThanEightBytesIsNeverSent) {
    uint8_t status = 0x11;
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "123456789", status));
    EXPECT_FALSE(driver.UnblockCHV(handle, 0, 0, "12345678", "123456789", status));
    EXPECT_EQ(status, 0x00);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(cardCommands(), 0u);
    EXPECT_NE(driver.lastError().find("longer than 8"), std::string::npos);
    EXPECT_EQ(card->withCard([](VirtualSim &sim) { return sim.chv1().chv1StatusByte(); }), 0x83);
}

TEST_F(ApduDriverOnVirtualCard, AnswerToResetFillsTheBuffer) {
    uint8_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    ASSERT_TRUE(driver.GetATRValue(handle, buffer, 0));
    EXPECT_EQ(buffer[0], 0x3B);
    EXPECT_EQ(buffer[19], 0x90);
    EXPECT_EQ(buffer[20], 0x00);
    EXPECT_EQ(buffer[63], 0x00);
}

TEST_F(ApduDriverOnVirtualCard, PulledCardFailsEverything) {
    card->withCard([](VirtualSim &sim) {
        CardQuirks quirks;
        quirks.pulled = true;
        sim.setQuirks(quirks);
    });
    uint8_t buffer[260];
    uint8_t length = 0;
    uint8_t status = 0;
    EXPECT_FALSE(driver.GetATRValue(handle, buffer, 0));
    EXPECT_EQ(driver.lastError(), "There is no card in the reader.");
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The card does not answer.");
    EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    EXPECT_EQ(trace.back(), "A0 20 00 01 08 ** ** ** ** ** ** ** ** -> no answer");
}

// A transport that answers from a script, for answers the virtual card never gives.
class ScriptedDriver : public ApduDriver {
public:
    std::deque<std::optional<Bytes>> answers;
    std::vector<Bytes> sent;

    std::optional<std::string> FindDeviceEntry() override { return "scripted"; }
    int OpenRX730X(const std::string &) override { return 1; }
    void CloseHandle(int) override {}
    std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int) override { return {}; }

protected:
    std::optional<Bytes> transmit(int, const Bytes &command) override {
        sent.push_back(command);
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<Bytes> answerToReset(int) override { return std::nullopt; }
};

TEST(ApduDriverScripted, IsoResponseWaitingCountsAsSelected) {
    ScriptedDriver driver;
    driver.answers = {Bytes{0x61, 0x1A}, Bytes{0x90, 0x00}};
    uint8_t length = 0;
    EXPECT_TRUE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(length, 0x1A);
    EXPECT_TRUE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(length, 0);
}

TEST(ApduDriverScripted, AnswerWithoutStatusWordFails) {
    ScriptedDriver driver;
    driver.answers = {Bytes{0x90}};
    uint8_t length = 0;
    EXPECT_FALSE(driver.SelectFile(1, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The card gave an answer without a status word.");
}

TEST(ApduDriverScripted, ResponseOfTheWrongLengthFails) {
    ScriptedDriver driver;
    driver.answers = {Bytes{0x01, 0x02, 0x90, 0x00}};
    uint8_t buffer[260] = {};
    EXPECT_FALSE(driver.GetResponse(1, 3, buffer, 0));
    EXPECT_EQ(driver.lastError(), "GET RESPONSE: the card sent 2 bytes instead of 3.");
    EXPECT_EQ(buffer[0], 0x00) << "nothing copied from a failed answer";
}

TEST(ApduDriverScripted, StatusByteOnlyFromSecurityStatusWords) {
    ScriptedDriver driver;
    driver.answers = {Bytes{0x6B, 0x00}, Bytes{0x98, 0x10}};
    uint8_t status = 0x77;
    EXPECT_FALSE(driver.DisableCHV(1, 0, "1234", status));
    EXPECT_EQ(status, 0x00);
    EXPECT_FALSE(driver.DisableCHV(1, 0, "1234", status));
    EXPECT_EQ(status, 0x10);
}

} // namespace
} // namespace velnor::test
