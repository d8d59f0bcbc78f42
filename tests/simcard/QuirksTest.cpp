#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace velnor::test {
namespace {

const Bytes SelectMaster = selectCommand(0x3F00);

class Quirks : public ::testing::Test {
protected:
    void setQuirks(void (*change)(CardQuirks &)) {
        CardQuirks quirks = sim.quirks();
        change(quirks);
        sim.setQuirks(quirks);
    }
    // Which of the next n commands get an answer, from the first.
    std::vector<bool> answered(int n) {
        std::vector<bool> result;
        for (int i = 0; i < n; ++i) {
            result.push_back(sim.transmit(SelectMaster).has_value());
        }
        return result;
    }

    VirtualSim sim{smallProfile()};
};

TEST_F(Quirks, FailAtCommandSilencesOnlyThatCommand) {
    setQuirks([](CardQuirks &q) { q.failAtCommand = 3; });
    EXPECT_EQ(answered(5), (std::vector<bool>{true, true, false, true, true}));
    EXPECT_EQ(sim.commandCount(), 5u);
}

TEST_F(Quirks, LostAnswerStillChangesTheCard) {
    setQuirks([](CardQuirks &q) { q.loseAnswerAtCommand = 2; });
    EXPECT_EQ(answered(1), std::vector<bool>{true});
    EXPECT_FALSE(sim.transmit(apdu(0x20, 0, 1, 8, code8("1234"))));
    EXPECT_TRUE(sim.chv1().verified());
    EXPECT_EQ(answered(1), std::vector<bool>{true});
}

TEST_F(Quirks, FailAfterCommandsSilencesEverythingFromThen) {
    setQuirks([](CardQuirks &q) { q.failAfterCommands = 3; });
    EXPECT_EQ(answered(5), (std::vector<bool>{true, true, false, false, false}));
    sim.powerOn();
    EXPECT_EQ(answered(3), (std::vector<bool>{true, true, false})) << "counted from power-on";
}

TEST_F(Quirks, PulledCardGivesNoAnswerToResetNorToCommands) {
    setQuirks([](CardQuirks &q) { q.pulled = true; });
    EXPECT_FALSE(sim.powerOn());
    EXPECT_FALSE(sim.answerToReset());
    EXPECT_FALSE(sim.transmit(SelectMaster));
    EXPECT_FALSE(sim.powered());
    setQuirks([](CardQuirks &q) { q.pulled = false; });
    EXPECT_TRUE(sim.transmit(SelectMaster)) << "a card put back powers on with the next command";
    EXPECT_EQ(sim.commandCount(), 1u);
}

TEST_F(Quirks, CardPutBackForgetsTheVerification) {
    sim.transmit(apdu(0x20, 0, 1, 8, code8("1234")));
    EXPECT_TRUE(sim.chv1().verified());
    setQuirks([](CardQuirks &q) { q.pulled = true; });
    setQuirks([](CardQuirks &q) { q.pulled = false; });
    ASSERT_TRUE(sim.answerToReset());
    EXPECT_FALSE(sim.chv1().verified());
}

TEST_F(Quirks, AnswerToResetDoesNotResetAPoweredCard) {
    sim.transmit(apdu(0x20, 0, 1, 8, code8("1234")));
    const auto atr = sim.answerToReset();
    ASSERT_TRUE(atr);
    EXPECT_EQ((*atr)[0], 0x3B);
    EXPECT_TRUE(sim.chv1().verified());
    EXPECT_EQ(sim.commandCount(), 1u);
}

TEST_F(Quirks, CountsCommandsByInstruction) {
    sim.transmit(SelectMaster);
    sim.transmit(selectCommand(0x7F10));
    sim.transmit(apdu(0xC0, 0, 0, 22));
    sim.transmit(Bytes{0xA0});
    EXPECT_EQ(sim.commandCount(), 4u);
    EXPECT_EQ(sim.instructionCount(0xA4), 2u);
    EXPECT_EQ(sim.instructionCount(0xC0), 1u);
    EXPECT_EQ(sim.instructionCount(0xB2), 0u);
}

class Drops82Coding : public Quirks {
protected:
    void SetUp() override {
        setQuirks([](CardQuirks &q) { q.drops82Coding = true; });
        sim.transmit(apdu(0x20, 0, 1, 8, code8("1234")));
        sim.transmit(selectCommand(0x7F10));
    }
    uint16_t update(uint16_t file, const Bytes &record) {
        sim.transmit(selectCommand(file));
        return statusOf(
            sim.transmit(apdu(0xDC, 1, 4, static_cast<uint8_t>(record.size()), record)));
    }
};

// A phonebook record with a name in the 0x82 coding and a number behind it.
Bytes probeRecord() {
    Bytes record{0x82, 0x03, 0x96, 0x00, 0xC8, 0x31, 0x32};
    record.resize(16, 0x00);
    const Bytes number{0x03, 0x81, 0x21, 0xF3, 0xFF, 0xFF, 0xFF,
                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    return concat(record, number);
}

TEST_F(Drops82Coding, PhonebookKeepsNoName) {
    const Bytes probe = probeRecord();
    EXPECT_EQ(update(0x6F3A, probe), 0x9000);
    const Bytes stored = *sim.record("3F00/7F10/6F3A", 1);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 16), Bytes(16, 0xFF));
    EXPECT_EQ(Bytes(stored.begin() + 16, stored.end()), Bytes(probe.begin() + 16, probe.end()));
}

TEST_F(Drops82Coding, OtherCodingsAndFilesAreKept) {
    Bytes ucs2 = probeRecord();
    ucs2[0] = 0x80;
    EXPECT_EQ(update(0x6F3A, ucs2), 0x9000);
    EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 1), ucs2);
    Bytes message(176, 0xFF);
    message[0] = 0x82;
    EXPECT_EQ(update(0x6F3C, message), 0x9000);
    EXPECT_EQ(*sim.record("3F00/7F10/6F3C", 1), message);
}

TEST(QuirksInProfile, AreAppliedFromTheStart) {
    ProfileResult loaded = parseCardProfile(R"({"quirks": {"failAtCommand": 2, "pulled": false}})");
    ASSERT_TRUE(loaded.profile) << loaded.error;
    VirtualSim sim(std::move(*loaded.profile));
    EXPECT_TRUE(sim.transmit(SelectMaster));
    EXPECT_FALSE(sim.transmit(SelectMaster));
    EXPECT_TRUE(sim.transmit(SelectMaster));
}

} // namespace
} // namespace velnor::test
