#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

#include "CardTestSupport.h"
#include "WatchTestSupport.h"
#include "card/CardWatcher.h"
#include "support/WindowThread.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 5s; // every wait of these tests ends by then

// A simulated reader whose card can be held inside a command, to catch the watcher mid-exchange.
class GateDriver : public SimulatedDriver {
public:
    using SimulatedDriver::SimulatedDriver;

    void hold() {
        std::lock_guard lock(mutex_);
        holding_ = true;
    }
    bool waitUntilHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [this] { return inside_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        holding_ = false;
        changed_.notify_all();
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

// Records the events and, when given a window thread, delivers them through it.
class RecordedEvents : public CardEvents {
public:
    WindowThread *window = nullptr;
    std::function<void(CardEvent)> handler; // runs on the window thread, after recording

    void cardGone() override { arrive(CardEvent::CardGone); }
    void otherCard() override { arrive(CardEvent::OtherCard); }
    void pinWanted() override { arrive(CardEvent::PinWanted); }

    size_t count() {
        std::lock_guard lock(mutex_);
        return events_.size();
    }
    bool waitFor(size_t n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [&] { return events_.size() >= n; });
    }
    std::vector<CardEvent> events() {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    void arrive(CardEvent event) {
        auto work = [this, event] {
            {
                std::lock_guard lock(mutex_);
                events_.push_back(event);
                changed_.notify_all();
            }
            if (handler) {
                handler(event);
            }
        };
        if (window != nullptr) {
            window->callBlocking(work);
        } else {
            work();
        }
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<CardEvent> events_;
};

class CardWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        card = SimulatedCards::instance().insertInMemory(path, watchedCard(false));
        timing.watcherShort = 1;
        timing.watcherLong = 2;
    }
    void TearDown() override { SimulatedCards::instance().remove(path); }
    unsigned cardCommands() {
        return card->withCard([](VirtualSim &sim) { return sim.commandCount(); });
    }
    bool waitForCommands(unsigned atLeast) {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (cardCommands() < atLeast) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    std::string path = testDevicePath();
    GateDriver driver{path};
    Timing timing = Timing::none();
    RecordedEvents events;
    std::shared_ptr<SimHost> card;
};

TEST_F(CardWatcherTest, ReportsAnotherCardAndAPulledOne) {
    CardWatcher watcher(driver, events, timing);
    watcher.share({false, "89000000000000000000"});
    watcher.start({path, 0});
    ASSERT_TRUE(events.waitFor(1));
    EXPECT_EQ(events.events().front(), CardEvent::OtherCard);
    watcher.share({false, kWatchedIdentity});
    setCardQuirks(*card, {.pulled = true});
    const size_t before = events.count();
    ASSERT_TRUE(events.waitFor(before + 1));
    EXPECT_EQ(events.events().back(), CardEvent::CardGone);
    watcher.stop();
    EXPECT_FALSE(watcher.running());
}

TEST_F(CardWatcherTest, PausedWatcherNeitherTouchesTheCardNorSendsEvents) {
    CardWatcher watcher(driver, events, timing);
    watcher.share({false, std::string()}); // every cycle would report another card
    watcher.start({path, 0});
    ASSERT_TRUE(events.waitFor(1));
    watcher.pause();
    watcher.pause();
    const unsigned commands = cardCommands();
    const size_t sent = events.count();
    watcher.resume();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(watcher.paused()) << "pauses nest";
    EXPECT_EQ(cardCommands(), commands);
    EXPECT_EQ(events.count(), sent);
    watcher.resume();
    EXPECT_FALSE(watcher.paused());
    EXPECT_TRUE(waitForCommands(commands + 1));
    EXPECT_TRUE(events.waitFor(sent + 1));
}

TEST_F(CardWatcherTest, PauseWaitsUntilTheCommandInProgressIsDone) {
    CardWatcher watcher(driver, events, timing);
    watcher.share({false, kWatchedIdentity});
    driver.hold();
    watcher.start({path, 0});
    ASSERT_TRUE(driver.waitUntilHeld());
    auto paused = std::async(std::launch::async, [&] { watcher.pause(); });
    EXPECT_EQ(paused.wait_for(50ms), std::future_status::timeout);
    driver.release();
    ASSERT_EQ(paused.wait_for(kPatience), std::future_status::ready);
    const unsigned commands = cardCommands();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(cardCommands(), commands);
    watcher.resume();
    EXPECT_TRUE(waitForCommands(commands + 1));
}

// The window thread stops the watcher (a new connect) while the watcher waits for that very
// thread to take its event: neither waits on the other, and the event still arrives.
TEST_F(CardWatcherTest, StopAndPauseNeverWaitOnAWatcherThatWaitsOnTheWindow) {
    WindowThread window;
    events.window = &window;
    CardWatcher watcher(driver, events, timing);
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
    auto done = stopped.get_future();
    ASSERT_EQ(done.wait_for(kPatience), std::future_status::ready);
    EXPECT_TRUE(events.waitFor(1)) << "the queued event was handled after the stop";
    EXPECT_FALSE(watcher.running());
}

TEST_F(CardWatcherTest, HandlerMayPauseAndAStartedWatcherReplacesTheRunningOne) {
    CardWatcher watcher(driver, events, timing);
    events.handler = [&](CardEvent) { PauseGuard hold(watcher); };
    watcher.share({false, std::string()});
    watcher.start({path, 0});
    ASSERT_TRUE(events.waitFor(2));
    watcher.start({path, 0});
    EXPECT_TRUE(watcher.running());
    const size_t sent = events.count();
    EXPECT_TRUE(events.waitFor(sent + 1));
    EXPECT_FALSE(watcher.paused());
}

} // namespace
} // namespace velnor::test
