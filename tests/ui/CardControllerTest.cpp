#include "ui/CardController.h"
#include "codec/CMyTools.h"
#include "support/CardFixture.h"
#include "support/TestVectors.h"

namespace velnor::test {
namespace {

// The window's card logic over a test card, with the tabs it shows recorded.
class CardControllerTest : public CardFixture {
protected:
    std::vector<int> tabsShown;
    int currentTab = kPhonebookTab;
    CardController controller{session, env, watcher, commands,
                              TabAccess{[this](int tab) {
                                            tabsShown.push_back(tab);
                                            currentTab = tab;
                                        },
                                        [this] { return currentTab; }}};
};

const std::string kCardPane = std::string("Card ") + kIdentity;

// reader-search.json: what the reader search finds decides the reader pane and whether Connect
// is offered; a card found is opened, watched and read, its messages first. A reader gives the
// inquiry block of a SIM reader unless the vector gives its own (null: none).
TEST_F(CardControllerTest, ReaderSearchOpensAndReadsTheCardItFinds) {
    const std::optional<std::vector<uint8_t>> simReader = driver.block;
    for (const json &v : loadVectors("ui/reader-search.json")) {
        SCOPED_TRACE(v.dump());
        insertSmallCard(false);
        setQuirks({.pulled = v.value("pulled", false)});
        driver.attached = v.value("attached", true);
        driver.block = !v.contains("block")   ? simReader
                       : v["block"].is_null() ? std::nullopt
                                              : CMyTools::asc2hex(v["block"].get<std::string>());
        watcher.starts.clear();
        watcher.shared = {};
        session.reader.lastIdentity.clear();
        tabsShown.clear();
        panes.panes[1] = "stale";
        session.card.simFunction = 5;
        session.reader.readerCdmaCapable = true;
        session.phonebookLoaded = session.messagesLoaded = false;
        controller.lookForReader();

        const bool connected = v.at("connected");
        EXPECT_EQ(panes.panes[0], v.at("readerPane"));
        EXPECT_EQ(panes.panes[1], v.at("cardPane"));
        EXPECT_EQ(session.reader.readerPresent, v.at("present"));
        for (const CommandPlace place : {CommandPlace::Menu, CommandPlace::Toolbar}) {
            EXPECT_EQ(commands.isEnabled(command::Connect, place), v["present"] && !connected);
        }
        EXPECT_EQ(session.reader.readerCdmaCapable, v.at("cdma"));
        EXPECT_EQ(session.card.simFunction, v.at("simFunction"));
        EXPECT_EQ(controller.connected(), connected);
        EXPECT_EQ(commands.isEnabled(command::Disconnect, CommandPlace::Menu), connected);
        EXPECT_EQ(watcher.starts.size(), connected ? 1u : 0u);
        EXPECT_EQ(tabsShown,
                  (connected ? std::vector<int>{kMessageTab, kPhonebookTab} : std::vector<int>{}));
        EXPECT_EQ(session.messagesLoaded && session.phonebookLoaded, connected);
        EXPECT_EQ(watcher.shared.lastIdentity, connected ? kIdentity : "")
            << "the watcher compares with this card";
        EXPECT_EQ(watcher.depth, 0);
        if (connected) {
            EXPECT_EQ(watcher.starts[0].devicePath, path);
        }
        controller.disconnect();
    }
}

TEST_F(CardControllerTest, ConnectReplacesTheWatcherAndFailedConnectLeavesNone) {
    insertSmallCard(false);
    ASSERT_TRUE(controller.connect());
    EXPECT_FALSE(commands.isEnabled(command::FileMenuButton, CommandPlace::Toolbar));
    EXPECT_FALSE(commands.isEnabled(command::OpenFile, CommandPlace::Menu));
    EXPECT_TRUE(controller.connect());
    EXPECT_EQ(watcher.stops, 2);
    EXPECT_EQ(watcher.starts.size(), 2u);
    pull();
    EXPECT_FALSE(controller.connect());
    EXPECT_FALSE(watcher.isRunning);
    EXPECT_TRUE(watcher.shared.chv1Pending);
}

// A card that wants its PIN is read once the right code is given. Disconnect and card gone both
// forget the lists and keep watching; a card gone takes its code and identity along.
TEST_F(CardControllerTest, DisconnectAndCardGoneForgetTheLists) {
    for (const bool gone : {false, true}) {
        insertSmallCard(true);
        prompts.codes = {{{"4321"}, false}, {{"1234"}, false}};
        controller.lookForReader();
        ASSERT_EQ(session.card.chv1Code, "1234");
        ASSERT_TRUE(session.phonebookLoaded && session.messagesLoaded);
        EXPECT_FALSE(session.reader.chv1Pending);
        if (gone) {
            pull();
            controller.cardGone();
        } else {
            controller.disconnect();
        }
        EXPECT_EQ(session.messages.size() + session.cardPhonebook.rowCount(), 0u);
        EXPECT_FALSE(session.phonebookLoaded || session.messagesLoaded);
        EXPECT_EQ(panes.panes[1], gone ? "No card in the reader" : "");
        EXPECT_TRUE(session.reader.chv1Pending);
        EXPECT_TRUE(watcher.shared.chv1Pending);
        EXPECT_TRUE(commands.isEnabled(command::Connect, CommandPlace::Menu));
        EXPECT_FALSE(commands.isEnabled(command::Read, CommandPlace::Toolbar));
        EXPECT_TRUE(watcher.isRunning);
        EXPECT_FALSE(controller.connected());
        EXPECT_EQ(session.card.chv1Code.empty(), gone);
        EXPECT_EQ(session.reader.lastIdentity.empty(), gone);
        EXPECT_EQ(watcher.shared.lastIdentity, gone ? "" : kIdentity);
    }
    EXPECT_EQ(status.memory().card.id, 8030);
}

// The same card put back: its identity differs from the zeroed one, so it is opened (the PIN
// asked again, since the code went with the removal) and the current tab is read again.
TEST_F(CardControllerTest, CardPutBackIsOpenedAndTheCurrentTabReadAgain) {
    insertSmallCard(true);
    prompts.codes = {{{"1234"}, false}, {{"1234"}, false}};
    controller.lookForReader();
    controller.cardGone();
    currentTab = kMessageTab;
    prompts.asked.clear();
    controller.otherCard();
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0})) << "the PIN dialog, nothing else";
    EXPECT_EQ(panes.panes[1], kCardPane);
    EXPECT_TRUE(session.messagesLoaded);
    EXPECT_FALSE(session.phonebookLoaded);
    EXPECT_EQ(watcher.depth, 0);
    EXPECT_EQ(watcher.shared.lastIdentity, kIdentity);
    EXPECT_FALSE(watcher.shared.chv1Pending);
    // The PIN the watcher wants is asked until the user gives it.
    for (const bool given : {false, true}) {
        session.reader.chv1Pending = true;
        prompts.codes.assign(given ? 1 : 0, {{"1234"}, false});
        controller.pinWanted();
        EXPECT_EQ(session.reader.chv1Pending, !given);
        EXPECT_EQ(watcher.shared.chv1Pending, !given);
    }
}

// Another card with a PIN of its own: the first card's code is never offered to it, whatever
// the user does with its PIN dialog.
TEST_F(CardControllerTest, AnotherCardNeverGetsTheFirstCardsCode) {
    insertSmallCard(true);
    prompts.codes = {{{"1234"}, false}};
    controller.lookForReader();
    insertSmallCard(true, kCardB);
    controller.otherCard(); // the user cancels the PIN dialog; the read still runs
    EXPECT_EQ(card().instructionCount(0x20), 0u);
    EXPECT_EQ(card().chv1().settings().attemptsLeft, 3);
    EXPECT_TRUE(session.card.chv1Code.empty());
    EXPECT_TRUE(watcher.shared.chv1Pending);
    EXPECT_EQ(card().instructionCount(0xB2), 0u) << "no PIN, no read";
}

TEST_F(CardControllerTest, EventsArrivingWhileTheWindowIsBusyAreLetGo) {
    insertSmallCard(false);
    controller.lookForReader();
    watcher.depth = 1; // a read or a dialog of the window holds the watcher
    controller.cardGone();
    controller.otherCard();
    controller.pinWanted();
    controller.readersSeen({});
    EXPECT_TRUE(prompts.codeRequests.empty());
    EXPECT_TRUE(session.phonebookLoaded);
    EXPECT_EQ(panes.panes[1], kCardPane);
}

// A reader plugged in, or a card put into a reader that is not watched, is acted on once the
// window is free, and only when something changed. Without pcscd the pane says how to start it.
TEST_F(CardControllerTest, ReaderOrCardArrivingIsActedOnOnceTheWindowIsFree) {
    driver.attached = false;
    driver.noService = true;
    controller.lookForReader();
    EXPECT_NE(panes.panes[0].find("systemctl start pcscd.socket"), std::string::npos);
    driver.noService = false;
    controller.lookForReader();
    insertSmallCard(false);
    driver.attached = true;
    watcher.depth = 1;
    controller.readersSeen(driver.ListReaders());
    EXPECT_EQ(panes.panes[0], "No card reader found") << "busy: the report waits";
    watcher.depth = 0;
    controller.readersSeen(driver.ListReaders());
    EXPECT_EQ(panes.panes[0], "Reader ready (version B0, 0208)");
    EXPECT_TRUE(session.phonebookLoaded);
    controller.readersSeen(driver.ListReaders());
    EXPECT_EQ(watcher.starts.size(), 1u) << "no change, no search";

    pull();
    controller.disconnect();
    controller.lookForReader();
    watcher.starts.clear();
    setQuirks({});
    controller.readersSeen(driver.ListReaders());
    EXPECT_EQ(watcher.starts.size(), 1u);
    EXPECT_TRUE(session.phonebookLoaded);
}

} // namespace
} // namespace velnor::test
