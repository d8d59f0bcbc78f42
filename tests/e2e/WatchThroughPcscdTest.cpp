#include <condition_variable>
#include <mutex>

#include "E2eFixture.h"
#include "card/CardWatcher.h"
#include "card/DemoProfile.h"
#include "reader/ReaderMonitor.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

// What the watcher and the reader watch report, from their threads; read under the lock.
struct Reports : CardEvents, ReaderEvents {
    void cardGone() override { add(CardEvent::CardGone); }
    void otherCard() override { add(CardEvent::OtherCard); }
    void pinWanted() override { add(CardEvent::PinWanted); }
    void readersSeen(const std::vector<ReaderEntry> &readers) override {
        std::lock_guard lock(mutex);
        ++readerReports;
        for (const ReaderEntry &reader : readers) {
            if (reader.name == kFirstReader) {
                cardInFirstReader = reader.cardPresent;
            }
        }
        changed.notify_all();
    }
    void add(CardEvent event) {
        std::lock_guard lock(mutex);
        events.push_back(event);
        changed.notify_all();
    }
    template <typename Look> auto locked(Look look) {
        std::lock_guard lock(mutex);
        return look();
    }
    // False when the reports do not come to hold within the patience given.
    bool waitFor(const std::function<bool()> &holds, std::chrono::seconds patience = 10s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, patience, holds);
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<CardEvent> events;
    std::optional<bool> cardInFirstReader;
    int readerReports = 0;
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
    watcher.share({false, "89012345678901234567"}); // the demo card, as the window knows it
    watcher.start({kFirstReader, 0});
    ReaderMonitor monitor(driver.WatchReaders(), reports);
    monitor.start();
    const auto cardIn = [&reports](bool present) {
        return reports.waitFor([&] { return reports.cardInFirstReader == present; }, 5s);
    };
    ASSERT_TRUE(cardIn(true));
    const int before = reports.locked([&] { return reports.readerReports; });
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(reports.locked([&] { return reports.events.empty(); }))
        << "the card the window knows: nothing to tell";
    EXPECT_LE(reports.locked([&] { return reports.readerReports; }) - before, 3)
        << "a quiet reader is listed once a second";

    const auto pulled = std::chrono::steady_clock::now();
    ASSERT_TRUE(served.pull());
    EXPECT_TRUE(cardIn(false));
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 2s) << "the reader watch sees it go";
    ASSERT_TRUE(reports.waitFor([&] { return !reports.events.empty(); }));
    EXPECT_EQ(reports.locked([&] { return reports.events.front(); }), CardEvent::CardGone);

    watcher.share({true, std::string()}); // what the window knows after the card went
    reports.locked([&] { reports.events.clear(); });
    ServedCard back(card);
    ASSERT_TRUE(back.inserted());
    EXPECT_TRUE(cardIn(true));
    ASSERT_TRUE(reports.waitFor([&] { return !reports.events.empty(); }));
    EXPECT_EQ(reports.locked([&] { return reports.events; }),
              std::vector<CardEvent>{CardEvent::OtherCard})
        << "the card put back is another; the demo card has no PIN to ask for";

    monitor.stop();
    watcher.stop();
}

} // namespace
} // namespace velnor::test
