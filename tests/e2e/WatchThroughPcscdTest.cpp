#include "E2eFixture.h"
#include "card/DemoProfile.h"
#include "card/WatchReports.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

// Whether the first reader holds a card in a reader list; none when it is not listed.
std::optional<bool> cardInFirstReader(const Readers &readers) {
    for (const ReaderEntry &reader : readers) {
        if (reader.name == kFirstReader) {
            return reader.cardPresent;
        }
    }
    return std::nullopt;
}

using WatchThroughPcscd = ThroughPcscd;

// A card pulled and put back is seen by the watcher and the reader watch; when pcscd goes away
// the reader watch reports no reader, and once pcscd is back, the reader with its card again.
TEST_F(WatchThroughPcscd, PulledCardAndPcscdGoingAwayAreSeenByTheWatcherAndTheReaderWatch) {
    const std::filesystem::path card = profile("card.json", makeDemoProfile(false));
    ServedCard served(card);
    ASSERT_TRUE(served.inserted());

    PcscDriver driver;
    RecordedEvents events;
    SeenReaders readers;
    Timing timing = Timing::none();
    timing.watcherShort = 100;
    timing.watcherLong = 200;
    CardWatcher watcher(driver, events, timing);
    watcher.share({false, "89012345678901234567"}); // the demo card, as the window knows it
    watcher.start({kFirstReader, 0});
    ReaderMonitor monitor(driver.WatchReaders(), readers);
    monitor.start();
    const auto cardIn = [&readers](std::optional<bool> present) {
        const Readers last =
            readers.seen
                .waitUntil([&](const std::vector<Readers> &all) {
                    return !all.empty() && cardInFirstReader(all.back()) == present;
                })
                .back();
        return cardInFirstReader(last) == present;
    };
    ASSERT_TRUE(cardIn(true));
    const size_t before = readers.seen.count();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(events.seen.count(), 0u) << "the card the window knows: nothing to tell";
    EXPECT_LE(readers.seen.count() - before, 3u) << "a quiet reader is listed once a second";

    const auto pulled = std::chrono::steady_clock::now();
    ASSERT_TRUE(served.pull());
    EXPECT_TRUE(cardIn(false));
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 2s) << "the reader watch sees it go";
    ASSERT_FALSE(events.seen.waitFor(1, 10s).empty());
    EXPECT_EQ(events.seen.waitFor(1).front(), CardEvent::CardGone);

    watcher.share({true, std::string()}); // what the window knows after the card went
    const size_t gone = events.seen.count();
    ServedCard back(card);
    ASSERT_TRUE(back.inserted());
    EXPECT_TRUE(cardIn(true));
    const std::vector<CardEvent> after = events.seen.waitFor(gone + 1, 10s);
    EXPECT_EQ(std::vector<CardEvent>(after.begin() + gone, after.end()),
              std::vector<CardEvent>{CardEvent::OtherCard})
        << "the card put back is another; the demo card has no PIN to ask for";

    PcscHarness &harness = PcscHarness::instance();
    if (harness.ownsPcscd()) {
        harness.stopPcscd();
        EXPECT_TRUE(cardIn(std::nullopt)) << "no reader without pcscd";
        ASSERT_TRUE(harness.startPcscd()) << harness.reason();
        EXPECT_TRUE(cardIn(true)) << "the served card and the reader watch find pcscd again";
    }
    monitor.stop();
    watcher.stop();
}

} // namespace
} // namespace velnor::test
