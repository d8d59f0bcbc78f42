#include <chrono>
#include <condition_variable>
#include <mutex>

#include "E2eFixture.h"
#include "card/CardWatcher.h"
#include "card/ReaderMonitor.h"
#include "simcard/DemoProfile.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kDemoIdentity = "89012345678901234567";

// What the watcher and the reader watch report, as they report it.
class Reports : public CardEvents, public ReaderEvents {
public:
    void cardGone() override { add(CardEvent::CardGone); }
    void otherCard() override { add(CardEvent::OtherCard); }
    void pinWanted() override { add(CardEvent::PinWanted); }
    void readersSeen(const std::vector<ReaderEntry> &readers) override {
        std::lock_guard lock(mutex_);
        ++reportCount_;
        for (const ReaderEntry &reader : readers) {
            if (reader.name == kFirstReader) {
                cardInFirstReader_ = reader.cardPresent;
            }
        }
        changed_.notify_all();
    }

    bool waitForEvent(CardEvent event) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] {
            return std::find(events_.begin(), events_.end(), event) != events_.end();
        });
    }
    bool waitForCardInFirstReader(bool present) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return cardInFirstReader_ == present; });
    }
    std::vector<CardEvent> events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    int reportCount() {
        std::lock_guard lock(mutex_);
        return reportCount_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

private:
    void add(CardEvent event) {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<CardEvent> events_;
    std::optional<bool> cardInFirstReader_;
    int reportCount_ = 0;
};

using WatchThroughPcscd = ThroughPcscd;

TEST_F(WatchThroughPcscd, PulledAndPutBackCardIsSeenByTheWatcherAndTheReaderWatch) {
    const std::filesystem::path card = profile("card.json", makeDemoProfile(false));
    ServedCard served(card);
    ASSERT_TRUE(served.inserted());

    PcscDriver driver;
    Reports reports;
    Timing timing = Timing::none();
    timing.watcherShort = 100;
    timing.watcherLong = 200;
    CardWatcher watcher(driver, reports, timing);
    watcher.share({false, kDemoIdentity});
    watcher.start({kFirstReader, 0});
    ReaderMonitor monitor(driver.WatchReaders(), reports);
    monitor.start();
    ASSERT_TRUE(reports.waitForCardInFirstReader(true));
    const int reportsBefore = reports.reportCount();
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(reports.events().empty()) << "the card the window knows: nothing to tell";
    EXPECT_LE(reports.reportCount() - reportsBefore, 3) << "a quiet reader is listed once a second";

    const Clock::time_point pulled = Clock::now();
    ASSERT_TRUE(served.pull());
    EXPECT_TRUE(reports.waitForCardInFirstReader(false));
    const auto noticed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pulled);
    EXPECT_LT(noticed, 2s) << "the reader watch sees the card go";
    ASSERT_TRUE(reports.waitForEvent(CardEvent::CardGone));
    EXPECT_EQ(reports.events().front(), CardEvent::CardGone);

    watcher.share({true, std::string()}); // what the window knows after the card went
    reports.clear();
    ServedCard back(card);
    ASSERT_TRUE(back.inserted());
    EXPECT_TRUE(reports.waitForCardInFirstReader(true));
    ASSERT_TRUE(reports.waitForEvent(CardEvent::OtherCard)) << "the card put back is another";
    EXPECT_EQ(reports.events(), std::vector<CardEvent>{CardEvent::OtherCard})
        << "the demo card has no PIN to ask for";

    monitor.stop();
    watcher.stop();
}

} // namespace
} // namespace velnor::test
