#include <gtest/gtest.h>

#include <future>

#include "card/WatchReports.h"
#include "reader/CardTestSupport.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

// A simulated reader whose card can be held inside a command, to catch the watcher mid-exchange.
class GateDriver : public SimulatedDriver {
public:
    using SimulatedDriver::SimulatedDriver;

    void hold(bool on) {
        std::lock_guard lock(mutex_);
        holding_ = on;
        changed_.notify_all();
    }
    bool waitUntilHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [this] { return inside_; });
    }

protected:
    std::optional<std::vector<uint8_t>> transmit(int handle,
                                                 const std::vector<uint8_t> &command) override {
        {
            std::unique_lock lock(mutex_);
            inside_ = holding_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !holding_; });
            inside_ = false;
        }
        return SimulatedDriver::transmit(handle, command);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool holding_ = false;
    bool inside_ = false;
};

class CardWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        card = SimulatedCards::instance().insertInMemory(path, cardProfile({{"enabled", false}}));
        timing.watcherShort = 1;
        timing.watcherLong = 2;
    }
    void TearDown() override {
        watcher.stop();
        SimulatedCards::instance().remove(path);
    }
    unsigned cardCommands() {
        return card->withCard([](VirtualSim &sim) { return sim.commandCount(); });
    }
    bool waitForCommands(unsigned atLeast) {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (cardCommands() < atLeast && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(1ms);
        }
        return cardCommands() >= atLeast;
    }

    std::string path = testDevicePath();
    GateDriver driver{path};
    Timing timing = Timing::none();
    RecordedEvents events;
    std::shared_ptr<SimHost> card;
    CardWatcher watcher{driver, events, timing};
};

// A pause waits for the command in progress and nests; the paused watcher neither touches the
// card nor sends events until the last resume.
TEST_F(CardWatcherTest, PauseWaitsForTheCommandInProgressNestsAndHoldsCardAndEvents) {
    watcher.share({false, std::string()}); // every cycle would report another card
    driver.hold(true);
    watcher.start({path, 0});
    ASSERT_TRUE(driver.waitUntilHeld());
    auto paused = std::async(std::launch::async, [&] { watcher.pause(); });
    EXPECT_EQ(paused.wait_for(50ms), std::future_status::timeout);
    driver.hold(false);
    ASSERT_EQ(paused.wait_for(kPatience), std::future_status::ready);
    watcher.pause();
    const unsigned sentCommands = cardCommands();
    const size_t sentEvents = events.seen.count();
    watcher.resume();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(watcher.paused()) << "pauses nest";
    EXPECT_EQ(cardCommands(), sentCommands);
    EXPECT_EQ(events.seen.count(), sentEvents);
    watcher.resume();
    EXPECT_FALSE(watcher.paused());
    EXPECT_TRUE(waitForCommands(sentCommands + 1));
    EXPECT_GE(events.seen.waitFor(sentEvents + 1).size(), sentEvents + 1);
}

// The window thread stops the watcher (a new connect) while the watcher waits for that very
// thread to take its event: neither waits on the other, and the event still arrives.
TEST_F(CardWatcherTest, StopAndPauseNeverWaitOnAWatcherThatWaitsOnTheWindow) {
    WindowThread window;
    events.window = &window;
    watcher.share({false, std::string()});
    std::promise<void> windowBusy;
    std::promise<void> letWindowGo;
    std::shared_future<void> go = letWindowGo.get_future().share();
    // Keep the window thread busy so the first event waits in its queue.
    window.post([&] {
        windowBusy.set_value();
        go.wait();
    });
    windowBusy.get_future().wait();
    watcher.start({path, 0});
    ASSERT_TRUE(waitForCommands(6)); // a whole cycle: the event is on its way
    std::this_thread::sleep_for(10ms);
    std::promise<void> stopped;
    window.post([&] {
        watcher.pause(); // returns: the watcher is not in an exchange
        watcher.resume();
        watcher.stop(); // returns although the watcher's event is still queued behind
        stopped.set_value();
    });
    letWindowGo.set_value();
    ASSERT_EQ(stopped.get_future().wait_for(kPatience), std::future_status::ready);
    EXPECT_GE(events.seen.waitFor(1).size(), 1u) << "the queued event was handled after the stop";
    EXPECT_FALSE(watcher.running());
}

// The events reach the window's handler, which may pause the watcher; a watcher started again
// replaces the running one and goes on reporting, another card and then a pulled one.
TEST_F(CardWatcherTest, HandlerMayPauseAndARestartedWatcherReportsOtherAndPulledCards) {
    events.handler = [&](CardEvent) { PauseGuard hold(watcher); };
    watcher.share({false, std::string()});
    watcher.start({path, 0});
    const std::vector<CardEvent> first = events.seen.waitFor(2);
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first.front(), CardEvent::OtherCard);
    watcher.start({path, 0});
    EXPECT_TRUE(watcher.running());
    const size_t sent = events.seen.count();
    EXPECT_GE(events.seen.waitFor(sent + 1).size(), sent + 1);
    EXPECT_FALSE(watcher.paused());
    watcher.share({false, kIdentity});
    setCardQuirks(*card, {.pulled = true});
    const auto gone = [](const std::vector<CardEvent> &all) {
        return !all.empty() && all.back() == CardEvent::CardGone;
    };
    EXPECT_TRUE(gone(events.seen.waitUntil(gone)));
}

// reader-search.json: reader lists before and after a change, the reader in use and whether a
// watcher looks at its card; whether the window should look for the reader.
TEST(ReaderSearchRule, CallsForASearchOnlyWhenTheWindowCanUseTheChange) {
    const auto readers = [](const json &list) {
        Readers entries;
        for (const auto &entry : list) {
            entries.push_back({entry[0], entry[1]});
        }
        return entries;
    };
    for (const auto &c : loadVectors("card/reader-search.json")) {
        ReaderState reader;
        reader.readerPresent = !c["inUse"].is_null();
        reader.devicePath = reader.readerPresent ? c["inUse"].get<std::string>() : "";
        EXPECT_EQ(
            callsForReaderSearch({readers(c["before"]), readers(c["after"])}, reader, c["watched"]),
            c["search"].get<bool>())
            << c["what"];
    }
}

// The monitor reports the reader list after every wait, and its stop ends a wait in progress:
// nothing is reported once it has stopped.
TEST_F(SimulatedReader, ReaderMonitorReportsUntilStoppedAndStopsAWaitInProgress) {
    SeenReaders events;
    ReaderMonitor monitor(driver.WatchReaders(), events, 1);
    monitor.start();
    EXPECT_EQ(events.seen.waitFor(2).at(1), (Readers{{path, true}}));
    monitor.stop();
    const size_t reported = events.seen.count();
    ReaderMonitor waiting(driver.WatchReaders(), events, 60000);
    waiting.start();
    std::this_thread::sleep_for(20ms);
    const auto before = std::chrono::steady_clock::now();
    waiting.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_EQ(events.seen.count(), reported);
    monitor.stop(); // a second stop does nothing
}

} // namespace
} // namespace velnor::test
