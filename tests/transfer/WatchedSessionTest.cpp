// The window's card logic with a real card watcher and reader watch on threads of their own.
// Everything the window owns is touched on the window thread only; the watcher's events reach
// it as blocking queued calls and the reader watch's reports as posted ones, as in the window.
// Run under ThreadSanitizer, these tests show that the threads share nothing unsynchronised.

#include <chrono>

#include "ControllerFixture.h"
#include "support/WindowEvents.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

class WatchedSession : public ControllerFixture {
protected:
    WatchedSession() {
        timing.watcherShort = 2;
        timing.watcherLong = 3;
    }
    void TearDown() override {
        window.callBlocking([this] { live.close(); });
        monitor.stop();
        ControllerFixture::TearDown();
    }
    std::string pane(int n) {
        std::string text;
        window.callBlocking([&] { text = panes.panes[n]; });
        return text;
    }

    CardWatcher realWatcher{driver, events, timing};
    Environment liveEnv{driver,      prompts,  texts,  status,     commands,
                        realWatcher, progress, timing, dir.path(), dir.path()};
    CardController live{
        session, liveEnv, realWatcher,
        TabAccess{[this](int tab) { currentTab = tab; }, [this] { return currentTab; }}};
    WindowThread window;
    WindowEvents events{window, live};
    ReaderMonitor monitor{std::make_unique<PollingReaderSource>(driver), events, 5};
};

TEST_F(WatchedSession, PulledCardIsNoticedAndTheCardPutBackReadAgain) {
    insert(kCardA, false);
    window.callBlocking([this] { live.lookForReader(); });
    ASSERT_EQ(pane(1), std::string("Card ") + kIdentityA);
    ASSERT_TRUE(realWatcher.running());
    monitor.start();

    pull();
    ASSERT_TRUE(window.eventually([&] { return panes.panes[1] == "No card in the reader"; }));
    EXPECT_TRUE(window.eventually(
        [&] { return session.cardPhonebook.empty() && !session.phonebookLoaded; }));

    setQuirks({});
    EXPECT_TRUE(window.eventually([&] {
        return panes.panes[1] == std::string("Card ") + kIdentityA && session.phonebookLoaded;
    }));
}

TEST_F(WatchedSession, AnotherCardAsksForItsOwnPinWhileWindowCommandsRun) {
    insert(kCardA, true);
    window.callBlocking([this] {
        type({"1234"});
        live.lookForReader();
    });
    ASSERT_EQ(pane(1), std::string("Card ") + kIdentityA);
    monitor.start();
    // Window commands that hold the watcher, while it runs its cycles.
    for (int i = 0; i < 20; ++i) {
        window.callBlocking([this, i] { live.read(i % 2); });
    }
    window.callBlocking([this] {
        type({"1234", "4321", "4321"});
        live.changePin();
    });
    insert(kCardB, true);
    window.callBlocking([this] { type({"1234"}); }); // card B's own PIN
    EXPECT_TRUE(
        window.eventually([&] { return panes.panes[1] == std::string("Card ") + kIdentityB; }));
    EXPECT_TRUE(window.eventually([&] { return session.card.chv1CodeOwner == kIdentityB; }));
    EXPECT_EQ(attemptsLeft(), 3) << "card A's code never reached card B";
}

TEST_F(WatchedSession, ReaderPluggedInLaterIsFoundByTheReaderWatch) {
    driver.attached = false;
    window.callBlocking([this] { live.lookForReader(); });
    ASSERT_EQ(pane(0), "No card reader found");
    monitor.start();
    insert(kCardA, false);
    window.callBlocking([this] { driver.attached = true; });
    EXPECT_TRUE(
        window.eventually([&] { return session.phonebookLoaded && session.messagesLoaded; }));
    EXPECT_EQ(pane(0), "Reader ready (version B0, 0208)");
}

} // namespace
} // namespace velnor::test
