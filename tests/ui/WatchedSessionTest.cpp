// The window's card logic with a real card watcher and reader watch on threads of their own.
// Everything the window owns is touched on the window thread only; the watcher's events reach
// it as blocking queued calls and the reader watch's reports as posted ones, as in the window.
// Run under ThreadSanitizer, these tests show that the threads share nothing unsynchronised.

#include "support/CardFixture.h"
#include "support/WindowEvents.h"
#include "ui/CardController.h"

namespace velnor::test {
namespace {

class WatchedSession : public CardFixture {
protected:
    WatchedSession() {
        timing.watcherShort = 2;
        timing.watcherLong = 3;
    }
    void TearDown() override {
        window.callBlocking([this] { live.close(); });
        monitor.stop();
        CardFixture::TearDown();
    }
    std::string pane(int n) {
        std::string text;
        window.callBlocking([&] { text = panes.panes[n]; });
        return text;
    }

    CardWatcher realWatcher{driver, events, timing};
    Environment liveEnv{driver, prompts,    texts,      status,      progress,
                        timing, dir.path(), dir.path(), &realWatcher};
    int currentTab = kPhonebookTab;
    CardController live{
        session, liveEnv, realWatcher, commands,
        TabAccess{[this](int tab) { currentTab = tab; }, [this] { return currentTab; }}};
    WindowThread window;
    WindowEvents events{window, live};
    ReaderMonitor monitor{std::make_unique<PollingReaderSource>(driver), events, 5};
};

TEST_F(WatchedSession, AnotherCardAsksForItsOwnPinWhileWindowCommandsRun) {
    insertSmallCard(true);
    window.callBlocking([this] {
        prompts.codes.push_back({{"1234"}, false});
        live.lookForReader();
    });
    ASSERT_EQ(pane(1), std::string("Card ") + kIdentity);
    monitor.start();
    // Window commands that hold the watcher, while it runs its cycles.
    for (int i = 0; i < 20; ++i) {
        window.callBlocking([this, i] { live.read(i % 2); });
    }
    window.callBlocking([this] {
        prompts.codes.push_back({{"1234", "4321", "4321"}, false});
        live.changePin();
    });
    insertSmallCard(true, kCardB);
    window.callBlocking([this] { prompts.codes.push_back({{"1234"}, false}); }); // card B's own PIN
    EXPECT_TRUE(
        window.eventually([&] { return panes.panes[1] == std::string("Card ") + kIdentityB; }));
    EXPECT_TRUE(window.eventually([&] { return session.card.chv1CodeOwner == kIdentityB; }));
    EXPECT_EQ(
        host->withCard([](VirtualSim &sim) { return int(sim.chv1().settings().attemptsLeft); }), 3)
        << "card A's code never reached card B";
}

} // namespace
} // namespace velnor::test
