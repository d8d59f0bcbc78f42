#include <gtest/gtest.h>

#include "card/WatchCycle.h"
#include "reader/CardTestSupport.h"
#include "support/TestVectors.h"

namespace velnor::test {
namespace {

using Events = std::vector<CardEvent>;
using Waits = std::vector<int>;

// Steps the cycle by hand: exchanges run at once, events and waits are recorded.
class ScriptedSteps : public WatchSteps {
public:
    WatchedCard card{true, kIdentity};
    bool holdEvents = false; // the window paused the watcher: events are not sent
    int exchangesLeft = -1;  // the watcher is stopped after this many exchanges
    Events events;
    Waits waits;

    bool exchange(const std::function<void()> &cardWork) override {
        if (exchangesLeft == 0) {
            return false;
        }
        --exchangesLeft;
        cardWork();
        return true;
    }
    bool deliver(CardEvent event) override {
        if (!holdEvents) {
            events.push_back(event);
        }
        return !holdEvents;
    }
    void wait(int ms) override { waits.push_back(ms); }
    WatchedCard known() override { return card; }
};

class WatchCycleTest : public ::testing::Test {
protected:
    WatchCycleTest() {
        timing.watcherShort = 5;
        timing.watcherLong = 9;
    }
    // A new card, and a fresh watch on it, so that every case starts with a first cycle.
    void insert(bool chv1Enabled, bool usimOnly = false) {
        const json uicc = {{"classA0", false}, {"aid", "A0000000871002FF49FF0589"}};
        card = SimulatedCards::instance().insertInMemory(
            path, cardProfile({{"enabled", chv1Enabled}}, json::array(), usimOnly ? uicc : json()));
        cycle.emplace(driver, WatchTarget{path, 0}, timing);
    }
    void TearDown() override { SimulatedCards::instance().remove(path); }
    Events runCycle() {
        steps.events.clear();
        steps.waits.clear();
        cycle->run(steps);
        return steps.events;
    }
    unsigned cardCommands() {
        return card->withCard([](VirtualSim &sim) { return sim.commandCount(); });
    }

    std::string path = testDevicePath();
    SimulatedDriver driver{path};
    Timing timing = Timing::none();
    std::optional<WatchCycle> cycle;
    ScriptedSteps steps;
    std::shared_ptr<SimHost> card;
};

// watch-cycle.json: the events a cycle sends for the card and what the window knows of it; a
// USIM-only card gives the same through class 00.
TEST_F(WatchCycleTest, CardThatAnswersGivesTheEventsItsStateCallsFor) {
    const std::map<std::string, CardEvent> named = {{"PinWanted", CardEvent::PinWanted},
                                                    {"OtherCard", CardEvent::OtherCard}};
    for (const auto &c : loadVectors("card/watch-cycle.json")) {
        for (const bool usimOnly : {false, true}) {
            SCOPED_TRACE(c.dump() + (usimOnly ? " on a USIM-only card" : ""));
            insert(c["chv1"].get<bool>(), usimOnly);
            steps.card = {c["pending"].get<bool>(), c["identity"].get<std::string>()};
            Events expected;
            for (const auto &name : c["events"]) {
                expected.push_back(named.at(name));
            }
            EXPECT_EQ(runCycle(), expected);
            EXPECT_EQ(steps.waits, (Waits{5, 9}));
            EXPECT_FALSE(cycle->missed());
            // Select, select and status, then the identity: select, status, read. Through class 00:
            // the refused select; EF DIR's FCP, its record, the ADF's FCP, an empty VERIFY; then
            // the FCP of EF ICCID and its bytes.
            EXPECT_EQ(cardCommands(), usimOnly ? 10u : 6u);
        }
    }
}

// A card put back, or one another program reset, answers once it is reset. One missed cycle is
// tolerated; the second in a row sends card gone, also when the first was held back.
TEST_F(WatchCycleTest, CardGoneOnEverySecondCycleWhileTheCardStaysAway) {
    insert(false);
    card->withCard([](VirtualSim &sim) {
        sim.setQuirks({.pulled = true});
        sim.setQuirks({}); // back in, but not yet powered
    });
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_FALSE(cycle->missed());
    setCardQuirks(*card, {.pulled = true});
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_TRUE(cycle->missed());
    // The short waits: before the look, before asking for the answer to reset, after the miss.
    EXPECT_EQ(steps.waits, (Waits{5, 5, 5}));
    EXPECT_EQ(runCycle(), Events{CardEvent::CardGone});
    EXPECT_FALSE(cycle->missed());
    EXPECT_EQ(runCycle(), Events{});
    steps.holdEvents = true;
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_TRUE(cycle->missed());
    steps.holdEvents = false;
    EXPECT_EQ(runCycle(), Events{CardEvent::CardGone});
    setCardQuirks(*card, {});
    EXPECT_EQ(runCycle(), Events{});
    setCardQuirks(*card, {.pulled = true});
    EXPECT_EQ(runCycle(), Events{}) << "a card that came back starts the count again";
}

// A card that gives no answer to any one command of a cycle costs at most that cycle: no event
// is sent, and the next cycle sees the card as it is.
TEST_F(WatchCycleTest, OneCommandWithoutAnswerAnywhereInTheCycleIsTolerated) {
    steps.card = {false, kIdentity};
    for (unsigned k = 1; k <= 6; ++k) {
        SCOPED_TRACE("command " + std::to_string(k));
        insert(true);
        setCardQuirks(*card, {.failAtCommand = k});
        runCycle();
        cycle->run(steps);
        EXPECT_TRUE(steps.events.empty());
        EXPECT_FALSE(cycle->missed());
    }
}

TEST_F(WatchCycleTest, ReaderThatCannotBeOpenedIsMissedAndWatchedOnceItIsBack) {
    WatchCycle watching(driver, {path, 0}, timing);
    watching.run(steps); // no card behind the path yet: the open fails
    EXPECT_TRUE(watching.missed());
    insert(false);
    watching.run(steps);
    EXPECT_TRUE(steps.events.empty());
    EXPECT_FALSE(watching.missed());
}

TEST_F(WatchCycleTest, StoppedWatcherEndsTheCycleAtItsNextExchange) {
    insert(true);
    steps.card = {true, std::string()};
    steps.exchangesLeft = 1;
    EXPECT_EQ(runCycle(), Events{CardEvent::PinWanted});
    EXPECT_EQ(steps.waits, (Waits{5})) << "no wait after the stop";
    steps.exchangesLeft = 0;
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_EQ(cardCommands(), 3u) << "nothing was sent after the stop";
}

} // namespace
} // namespace velnor::test
