#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace velnor::test {
namespace {

// CHV1 over the card's commands (GSM 11.11, 9.2.9 to 9.2.13 and 11.3).
class ChvLifeCycle : public ::testing::Test {
protected:
    uint16_t verify(const std::string &code) {
        return statusOf(sim.transmit(apdu(0x20, 0, 1, 8, code8(code))));
    }
    uint16_t change(const std::string &oldCode, const std::string &newCode) {
        return statusOf(sim.transmit(apdu(0x24, 0, 1, 16, concat(code8(oldCode), code8(newCode)))));
    }
    uint16_t disable(const std::string &code) {
        return statusOf(sim.transmit(apdu(0x26, 0, 1, 8, code8(code))));
    }
    uint16_t enable(const std::string &code) {
        return statusOf(sim.transmit(apdu(0x28, 0, 1, 8, code8(code))));
    }
    uint16_t unblock(const std::string &unblockCode, const std::string &newCode) {
        return statusOf(
            sim.transmit(apdu(0x2C, 0, 0, 16, concat(code8(unblockCode), code8(newCode)))));
    }
    // Reading a phonebook record, which needs CHV1 when it is enabled.
    uint16_t readPhonebook() {
        sim.transmit(selectCommand(0x7F10));
        sim.transmit(selectCommand(0x6F3A));
        return statusOf(sim.transmit(apdu(0xB2, 1, 4, 30)));
    }
    uint8_t attemptsLeft() const { return sim.chv1().chv1StatusByte() & 0x0F; }
    uint8_t unblockAttemptsLeft() const { return sim.chv1().unblockStatusByte() & 0x0F; }

    VirtualSim sim{smallProfile()};
};

TEST_F(ChvLifeCycle, WrongCodesBlockAndTheRightOneRestoresTheCounter) {
    EXPECT_EQ(verify("1111"), 0x9804);
    EXPECT_EQ(verify("2222"), 0x9804);
    EXPECT_EQ(attemptsLeft(), 1);
    EXPECT_EQ(verify("1234"), 0x9000);
    EXPECT_EQ(attemptsLeft(), 3);
    EXPECT_EQ(verify("1111"), 0x9804);
    EXPECT_EQ(verify("1111"), 0x9804);
    EXPECT_EQ(verify("1111"), 0x9840);
    EXPECT_EQ(attemptsLeft(), 0);
    EXPECT_EQ(verify("1234"), 0x9840) << "a blocked code is not even compared";
    EXPECT_EQ(readPhonebook(), 0x9804);
}

TEST_F(ChvLifeCycle, WrongCodeTakesBackAnEarlierVerification) {
    ASSERT_EQ(verify("1234"), 0x9000);
    ASSERT_EQ(readPhonebook(), 0x9000);
    EXPECT_EQ(verify("9999"), 0x9804);
    EXPECT_EQ(readPhonebook(), 0x9804);
}

TEST_F(ChvLifeCycle, UnblockCodeHasItsOwnCounter) {
    for (int i = 0; i < 3; ++i) {
        verify("0000");
    }
    EXPECT_EQ(unblock("87654321", "4321"), 0x9804);
    EXPECT_EQ(unblockAttemptsLeft(), 9);
    EXPECT_EQ(unblock("12345678", "4321"), 0x9000);
    EXPECT_EQ(attemptsLeft(), 3);
    EXPECT_EQ(unblockAttemptsLeft(), 10);
    EXPECT_EQ(readPhonebook(), 0x9000) << "unblocking presents the new code";
    sim.powerOn();
    EXPECT_EQ(verify("1234"), 0x9804);
    EXPECT_EQ(verify("4321"), 0x9000);
}

TEST_F(ChvLifeCycle, TenWrongUnblockCodesBlockForGood) {
    for (int i = 0; i < 9; ++i) {
        ASSERT_EQ(unblock("00000000", "1111"), 0x9804) << i;
    }
    EXPECT_EQ(unblock("00000000", "1111"), 0x9840);
    EXPECT_EQ(unblock("12345678", "1111"), 0x9840);
    EXPECT_EQ(sim.chv1().unblockStatusByte(), 0x80);
}

TEST_F(ChvLifeCycle, UnblockingWorksWhenNotBlocked) {
    EXPECT_EQ(unblock("12345678", "5555"), 0x9000);
    EXPECT_EQ(verify("5555"), 0x9000);
}

TEST_F(ChvLifeCycle, DisableAndEnable) {
    EXPECT_EQ(readPhonebook(), 0x9804);
    EXPECT_EQ(disable("0000"), 0x9804) << "a wrong code counts";
    EXPECT_EQ(attemptsLeft(), 2);
    EXPECT_EQ(disable("1234"), 0x9000);
    EXPECT_EQ(attemptsLeft(), 3);
    EXPECT_EQ(disable("1234"), 0x9808);
    EXPECT_EQ(verify("1234"), 0x9808);
    EXPECT_EQ(change("1234", "9999"), 0x9808);
    sim.powerOn();
    EXPECT_EQ(readPhonebook(), 0x9000) << "no code needed while disabled";
    EXPECT_EQ(enable("1111"), 0x9804);
    EXPECT_EQ(enable("1234"), 0x9000);
    EXPECT_EQ(enable("1234"), 0x9808);
    sim.powerOn();
    EXPECT_EQ(readPhonebook(), 0x9804);
}

TEST_F(ChvLifeCycle, ChangeNeedsTheOldCode) {
    EXPECT_EQ(change("1111", "5678"), 0x9804);
    EXPECT_EQ(change("1234", "5678"), 0x9000);
    sim.powerOn();
    EXPECT_EQ(verify("1234"), 0x9804);
    EXPECT_EQ(verify("5678"), 0x9000);
}

TEST_F(ChvLifeCycle, BlockedCodeRefusesEveryOperationButUnblock) {
    for (int i = 0; i < 3; ++i) {
        verify("0000");
    }
    EXPECT_EQ(change("1234", "1111"), 0x9840);
    EXPECT_EQ(disable("1234"), 0x9840);
    EXPECT_EQ(enable("1234"), 0x9840);
    EXPECT_EQ(unblock("12345678", "1111"), 0x9000);
}

TEST_F(ChvLifeCycle, PowerOnForgetsTheVerification) {
    ASSERT_EQ(verify("1234"), 0x9000);
    ASSERT_EQ(readPhonebook(), 0x9000);
    sim.powerOn();
    EXPECT_EQ(readPhonebook(), 0x9804);
}

TEST_F(ChvLifeCycle, CodesCompareAllEightBytes) {
    EXPECT_EQ(statusOf(sim.transmit(apdu(0x20, 0, 1, 8, {'1', '2', '3', '4', 0, 0, 0, 0}))),
              0x9804);
    EXPECT_EQ(verify("12345"), 0x9804);
    EXPECT_EQ(verify("1234"), 0x9000);
}

TEST(ChvAbsent, CardWithoutChv1OpensEverything) {
    ProfileResult loaded = parseCardProfile(
        R"({"files": [{"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 1}]})");
    ASSERT_TRUE(loaded.profile) << loaded.error;
    VirtualSim sim(std::move(*loaded.profile));
    EXPECT_EQ(statusOf(sim.transmit(apdu(0x20, 0, 1, 8, code8("1234")))), 0x9802);
    EXPECT_EQ(statusOf(sim.transmit(apdu(0x28, 0, 1, 8, code8("1234")))), 0x9802);
    sim.transmit(selectCommand(0x3F00));
    const Bytes master = dataOf(sim.transmit(apdu(0xC0, 0, 0, 22)));
    EXPECT_EQ(master[13] & 0x80, 0x80);
    EXPECT_EQ(master[16], 0);
    EXPECT_EQ(master[18], 0);
    sim.transmit(selectCommand(0x7F10));
    sim.transmit(selectCommand(0x6F3A));
    EXPECT_EQ(statusOf(sim.transmit(apdu(0xB2, 1, 4, 30))), 0x9000);
}

} // namespace
} // namespace velnor::test
