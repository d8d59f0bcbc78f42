#include <gtest/gtest.h>

#include "CardTestSupport.h"
#include "WatchTestSupport.h"
#include "card/WatchCycle.h"

namespace velnor::test {
namespace {

// Steps the cycle by hand: exchanges run at once, events and waits are recorded.
class ScriptedSteps : public WatchSteps {
public:
    WatchedCard card;
    bool holdEvents = false; // the window paused the watcher: events are not sent
    int exchangesLeft = -1;  // the watcher is stopped after this many exchanges
    std::vector<CardEvent> events;
    std::vector<int> waits;

    bool exchange(const std::function<void()> &cardWork) override {
        if (exchangesLeft == 0) {
            return false;
        }
        --exchangesLeft;
        cardWork();
        return true;
    }
    bool deliver(CardEvent event) override {
        if (holdEvents) {
            return false;
        }
        events.push_back(event);
        return true;
    }
    void wait(int ms) override { waits.push_back(ms); }
    WatchedCard known() override { return card; }
};

class WatchCycleTest : public ::testing::Test {
protected:
    // A new card, and a fresh watch on it, so that every case starts with a first cycle.
    void insert(bool chv1Enabled) {
        card = SimulatedCards::instance().insertInMemory(path, watchedCard(chv1Enabled));
        cycle.emplace(driver, WatchTarget{path, 0}, timing);
    }
    void TearDown() override { SimulatedCards::instance().remove(path); }
    std::vector<CardEvent> runCycle() {
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
    Timing timing = [] {
        Timing t = Timing::none();
        t.watcherShort = 5;
        t.watcherLong = 9;
        return t;
    }();
    std::optional<WatchCycle> cycle;
    ScriptedSteps steps;
    std::shared_ptr<SimHost> card;
};

using Events = std::vector<CardEvent>;

TEST_F(WatchCycleTest, KnownCardGivesNoEventAndWaitsShortThenLong) {
    insert(false);
    steps.card = {true, kWatchedIdentity};
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_EQ(steps.waits, (std::vector<int>{5, 9}));
    EXPECT_FALSE(cycle->missed());
    EXPECT_EQ(cardCommands(),
              6u); // select, select and status, then the ICCID: select, status, read
}

TEST_F(WatchCycleTest, PinWantedOnlyWhenTheCardAsksAndThePinIsPending) {
    struct Case {
        bool chv1Enabled;
        bool pending;
        Events expected;
    };
    for (const Case &c :
         {Case{true, true, {CardEvent::PinWanted}}, Case{true, false, {}}, Case{false, true, {}}}) {
        SCOPED_TRACE(std::to_string(c.chv1Enabled) + std::to_string(c.pending));
        insert(c.chv1Enabled);
        steps.card = {c.pending, kWatchedIdentity};
        EXPECT_EQ(runCycle(), c.expected);
    }
}

TEST_F(WatchCycleTest, AnotherIdentityOrTheZeroedOneIsAnotherCard) {
    insert(true);
    for (const std::string &known : {std::string("89000000000000000000"), std::string()}) {
        steps.card = {true, known};
        // The PIN question comes first, then the other card.
        EXPECT_EQ(runCycle(), (Events{CardEvent::PinWanted, CardEvent::OtherCard}));
    }
}

TEST_F(WatchCycleTest, CardGoneOnEverySecondCycleWhileTheCardStaysAway) {
    insert(false);
    steps.card = {true, kWatchedIdentity};
    ASSERT_EQ(runCycle(), Events{});
    setCardQuirks(*card, {.pulled = true});
    EXPECT_EQ(runCycle(), Events{}) << "one missed cycle is tolerated";
    EXPECT_TRUE(cycle->missed());
    // The short waits: before the look, before asking for the answer to reset, after the miss.
    EXPECT_EQ(steps.waits, (std::vector<int>{5, 5, 5}));
    EXPECT_EQ(runCycle(), Events{CardEvent::CardGone});
    EXPECT_FALSE(cycle->missed());
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_EQ(runCycle(), Events{CardEvent::CardGone});

    setCardQuirks(*card, {});
    EXPECT_EQ(runCycle(), Events{});
    setCardQuirks(*card, {.pulled = true});
    EXPECT_EQ(runCycle(), Events{}) << "a card that came back starts the count again";
}

TEST_F(WatchCycleTest, CardGoneHeldBackWhilePausedIsSentByTheNextMiss) {
    insert(false);
    setCardQuirks(*card, {.pulled = true});
    steps.holdEvents = true;
    runCycle();
    runCycle();
    EXPECT_TRUE(steps.events.empty());
    EXPECT_TRUE(cycle->missed());
    steps.holdEvents = false;
    EXPECT_EQ(runCycle(), Events{CardEvent::CardGone});
}

TEST_F(WatchCycleTest, CardPutBackAnswersAfterItsAnswerToReset) {
    insert(false);
    steps.card = {true, kWatchedIdentity};
    card->withCard([](VirtualSim &sim) {
        sim.setQuirks({.pulled = true});
        sim.setQuirks({}); // back in, but not yet powered
    });
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_FALSE(cycle->missed());
}

// A card that gives no answer to any one command of a cycle costs at most that cycle: no event
// is sent, and the next cycle sees the card as it is.
TEST_F(WatchCycleTest, OneCommandWithoutAnswerAnywhereInTheCycleIsTolerated) {
    insert(true);
    steps.card = {false, kWatchedIdentity};
    runCycle();
    const unsigned perCycle = cardCommands();
    for (unsigned k = 1; k <= perCycle; ++k) {
        SCOPED_TRACE("command " + std::to_string(k));
        insert(true);
        setCardQuirks(*card, {.failAtCommand = k});
        cycle->run(steps);
        cycle->run(steps);
        EXPECT_TRUE(steps.events.empty());
        EXPECT_FALSE(cycle->missed());
    }
}

TEST_F(WatchCycleTest, ReaderThatCannotBeOpenedIsMissedAndWatchedOnceItIsBack) {
    steps.card = {true, kWatchedIdentity};
    WatchCycle watching(driver, {path, 0}, timing);
    watching.run(steps); // no card behind the path yet: the open fails
    EXPECT_TRUE(watching.missed());
    insert(false);
    steps.events.clear();
    watching.run(steps);
    EXPECT_TRUE(steps.events.empty());
    EXPECT_FALSE(watching.missed());
}

TEST_F(WatchCycleTest, StoppedWatcherEndsTheCycleAtItsNextExchange) {
    insert(true);
    steps.card = {true, std::string()};
    steps.exchangesLeft = 1;
    EXPECT_EQ(runCycle(), Events{CardEvent::PinWanted});
    EXPECT_EQ(steps.waits, (std::vector<int>{5})) << "no wait after the stop";
    steps.exchangesLeft = 0;
    EXPECT_EQ(runCycle(), Events{});
    EXPECT_EQ(cardCommands(), 3u) << "nothing was sent after the stop";
}

} // namespace
} // namespace velnor::test
