#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace velnor::test {
namespace {

// A card pulled out at run time is off; put back, its next use powers it on afresh. The answer
// to reset of a card that is on resets nothing.
TEST(Quirks, PulledCardIsPoweredOnAfreshByItsNextUseOnceBack) {
    VirtualSim sim(smallProfile());
    ASSERT_EQ(statusOf(sim.transmit(verifyCommand("1234"))), 0x9000);
    ASSERT_TRUE(sim.answerToReset());
    EXPECT_EQ(sim.answerToReset()->front(), 0x3B);
    EXPECT_TRUE(sim.chv1().verified());
    EXPECT_EQ(sim.commandCount(), 1u);
    sim.setQuirks({.pulled = true});
    EXPECT_FALSE(sim.answerToReset());
    EXPECT_FALSE(sim.transmit(verifyCommand("1234")));
    sim.setQuirks({});
    EXPECT_EQ(statusOf(sim.transmit(selectCommand(0x3F00))), 0x9F16);
    EXPECT_FALSE(sim.chv1().verified());
    sim.transmit(Bytes{0xA0});
    sim.transmit(Bytes{0xA0, 0xC0});
    EXPECT_EQ(sim.commandCount(), 3u);
    EXPECT_EQ(sim.instructionCount(0xA4), 1u);
    EXPECT_EQ(sim.instructionCount(0xC0), 1u);
    EXPECT_EQ(sim.instructionCount(0x20), 0u) << "counted from power-on";
}

} // namespace
} // namespace velnor::test
