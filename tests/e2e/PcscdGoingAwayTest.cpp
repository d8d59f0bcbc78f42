// pcscd stops in the middle of a read and comes back: the window's card logic, with its real
// card watcher and reader watch on threads of their own, says there is no reader, finds the
// reader again once pcscd is back and reads the card.

#include "E2eFixture.h"
#include "card/DemoProfile.h"
#include "support/WindowEvents.h"

namespace velnor::test {
namespace {

// Stops pcscd when the read reaches the given record.
class StopPcscdAtRecord : public ScriptedProgress {
public:
    int record = -1;
    void step() override {
        ScriptedProgress::step();
        if (steps == record) {
            PcscHarness::instance().stopPcscd();
        }
    }
};

class PcscdGoingAway : public ThroughPcscd {
protected:
    PcscdGoingAway() {
        timing.watcherShort = 50;
        timing.watcherLong = 100;
    }
    void TearDown() override {
        window.callBlocking([this] { controller.close(); });
        monitor.stop();
        ThroughPcscd::TearDown();
    }
    std::string pane(int n) {
        std::string text;
        window.callBlocking([&] { text = w.panes.panes[n]; });
        return text;
    }

    PcscDriver driver;
    StopPcscdAtRecord progress;
    Timing timing = Timing::none();
    CardWatcher watcher{driver, events, timing};
    ScriptedWindow w{driver, dir.path()};
    Session &session = w.session;
    Environment env{driver, w.prompts,  w.texts,    w.status, progress,
                    timing, dir.path(), dir.path(), &watcher};
    int currentTab = 0;
    CardController controller{
        session, env, watcher, w.commands,
        TabAccess{[this](int tab) { currentTab = tab; }, [this] { return currentTab; }}};
    WindowThread window;
    WindowEvents events{window, controller};
    ReaderMonitor monitor{driver.WatchReaders(), events, 200};
};

TEST_F(PcscdGoingAway, MidReadTheReaderIsLostThenFoundAgainAndRead) {
    PcscHarness &harness = PcscHarness::instance();
    if (!harness.ownsPcscd()) {
        GTEST_SKIP() << "pcscd was not started by these tests, so they do not stop it";
    }
    ServedCard served(profile("card.json", makeDemoProfile(false)));
    ASSERT_TRUE(served.inserted());
    window.callBlocking([this] { controller.lookForReader(); });
    size_t entries = 0;
    ASSERT_TRUE(window.eventually([&] {
        entries = session.cardPhonebook.rowCount();
        return session.phonebookLoaded;
    }));
    ASSERT_GT(entries, 5u);
    monitor.start();

    // Read the phonebook again; pcscd goes away at its fifth record.
    progress.record = progress.steps + 5;
    bool loaded = true;
    window.callBlocking([&] {
        controller.read(0);
        loaded = session.phonebookLoaded;
    });
    EXPECT_FALSE(loaded) << "the read could not finish";
    EXPECT_TRUE(window.eventually([&] { return w.panes.panes[0] == w.texts.get(8026); }))
        << "the reader is reported gone: " << pane(0);

    ASSERT_TRUE(harness.startPcscd()) << harness.reason();
    ASSERT_TRUE(served.inserted());
    EXPECT_TRUE(window.eventually([&] {
        return session.phonebookLoaded && session.cardPhonebook.rowCount() == entries;
    })) << "found again and read: "
        << pane(0);
    EXPECT_TRUE(watcher.running());
}

} // namespace
} // namespace velnor::test
