#include "ControllerFixture.h"

namespace velnor::test {
namespace {

using CardControllerTest = ControllerFixture;

TEST_F(CardControllerTest, NoReaderSaysSoAndDisablesConnect) {
    driver.attached = false;
    session.reader.readerPresent = true;
    controller.lookForReader();
    EXPECT_FALSE(session.reader.readerPresent);
    EXPECT_EQ(panes.panes[0], "No card reader found");
    EXPECT_EQ(panes.panes[1], "");
    EXPECT_FALSE(commands.isEnabled(command::Connect, CommandPlace::Menu));
    EXPECT_FALSE(commands.isEnabled(command::Connect, CommandPlace::Toolbar));
    EXPECT_FALSE(commands.isEnabled(command::Disconnect, CommandPlace::Menu));
    EXPECT_TRUE(watcher.starts.empty());
}

TEST_F(CardControllerTest, ReaderWithoutInquiryBlockCannotConnect) {
    insert(kCardA, false);
    driver.block.reset();
    controller.lookForReader();
    EXPECT_EQ(panes.panes[0], "The reader has no SIM function");
    EXPECT_FALSE(session.reader.readerPresent);
    EXPECT_FALSE(commands.isEnabled(command::Connect, CommandPlace::Toolbar));
    EXPECT_TRUE(watcher.starts.empty());
}

TEST_F(CardControllerTest, ReaderWithoutSimFunctionKeepsTheFunctionNumberAndGoesOn) {
    insert(kCardA, false);
    driver.block = std::vector<uint8_t>{0x10, 0x01, 0x00, 0x00, 0x01, 'S', 'I', 'M', 'X'};
    session.card.simFunction = 0;
    controller.lookForReader();
    EXPECT_EQ(panes.panes[0], "Reader ready (version 10, 0100)");
    EXPECT_EQ(session.card.simFunction, 0);
    EXPECT_FALSE(session.reader.readerCdmaCapable);
    EXPECT_TRUE(session.reader.readerPresent);
}

TEST_F(CardControllerTest, FoundReaderConnectsAndReadsMessagesThenThePhonebook) {
    insert(kCardA, false);
    controller.lookForReader();
    EXPECT_EQ(panes.panes[0], "Reader ready (version B0, 0208)");
    EXPECT_TRUE(session.reader.readerCdmaCapable);
    EXPECT_EQ(panes.panes[1], std::string("Card ") + kIdentityA);
    ASSERT_EQ(watcher.starts.size(), 1u);
    EXPECT_EQ(watcher.starts[0].devicePath, path);
    EXPECT_EQ(tabsShown, (std::vector<int>{kMessageTab, kPhonebookTab}));
    EXPECT_TRUE(session.messagesLoaded);
    EXPECT_TRUE(session.phonebookLoaded);
    EXPECT_EQ(session.messages.size(), 1u);
    EXPECT_EQ(session.cardPhonebook.rowCount(), 1u);
    EXPECT_EQ(watcher.depth, 0);
    EXPECT_EQ(watcher.shared.lastIdentity, kIdentityA) << "the watcher compares with this card";
    EXPECT_TRUE(controller.connected());
    EXPECT_TRUE(commands.isEnabled(command::Write, CommandPlace::Toolbar)) << "after the reads";
}

TEST_F(CardControllerTest, ReaderWithoutCardShowsNoCardAndStartsNoWatcher) {
    insert(kCardA, false);
    pull();
    controller.lookForReader();
    EXPECT_EQ(panes.panes[1], "No card in the reader");
    EXPECT_TRUE(watcher.starts.empty());
    EXPECT_TRUE(tabsShown.empty());
    EXPECT_FALSE(controller.connected());
}

TEST_F(CardControllerTest, ConnectReplacesTheWatcherAndFailedConnectLeavesNone) {
    insert(kCardA, false);
    session.reader.devicePath = path;
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

TEST_F(CardControllerTest, DisconnectForgetsTheListsButKeepsWatching) {
    insert(kCardA, false);
    controller.lookForReader();
    controller.disconnect();
    EXPECT_TRUE(session.cardPhonebook.empty());
    EXPECT_EQ(session.messages.size(), 0u);
    EXPECT_FALSE(session.phonebookLoaded);
    EXPECT_FALSE(session.messagesLoaded);
    EXPECT_EQ(panes.panes[1], "");
    EXPECT_TRUE(session.reader.chv1Pending);
    EXPECT_TRUE(commands.isEnabled(command::Connect, CommandPlace::Menu));
    EXPECT_FALSE(commands.isEnabled(command::Read, CommandPlace::Toolbar));
    EXPECT_TRUE(watcher.isRunning);
    EXPECT_FALSE(controller.connected());
}

TEST_F(CardControllerTest, CardGoneEmptiesTheListsAndForgetsTheCodeAndIdentity) {
    insert(kCardA, true);
    type({"1234"});
    controller.lookForReader();
    ASSERT_EQ(session.card.chv1Code, "1234");
    pull();
    controller.cardGone();
    EXPECT_EQ(panes.panes[1], "No card in the reader");
    EXPECT_EQ(status.memory().card.id, 8030);
    EXPECT_TRUE(session.reader.lastIdentity.empty());
    EXPECT_TRUE(session.card.chv1Code.empty());
    EXPECT_TRUE(session.cardPhonebook.empty());
    EXPECT_EQ(watcher.shared.lastIdentity, "");
    EXPECT_TRUE(watcher.shared.chv1Pending);
}

// The same card put back: its identity differs from the zeroed one, so it is opened (the PIN
// asked again, since the code went with the removal) and the current tab is read again.
TEST_F(CardControllerTest, CardPutBackIsOpenedAndTheCurrentTabReadAgain) {
    insert(kCardA, true);
    type({"1234"});
    controller.lookForReader();
    controller.cardGone();
    currentTab = kMessageTab;
    type({"1234"});
    prompts.asked.clear();
    controller.otherCard();
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0})) << "the PIN dialog, nothing else";
    EXPECT_EQ(panes.panes[1], std::string("Card ") + kIdentityA);
    EXPECT_TRUE(session.messagesLoaded);
    EXPECT_FALSE(session.phonebookLoaded);
    EXPECT_EQ(watcher.depth, 0);
    EXPECT_EQ(watcher.shared.lastIdentity, kIdentityA);
    EXPECT_FALSE(watcher.shared.chv1Pending);
}

// Another card with a PIN of its own: the first card's code is never offered to it, whatever
// the user does with its PIN dialog.
TEST_F(CardControllerTest, AnotherCardNeverGetsTheFirstCardsCode) {
    insert(kCardA, true);
    type({"1234"});
    controller.lookForReader();
    insert(kCardB, true);
    controller.otherCard(); // the user cancels the PIN dialog; the read still runs
    EXPECT_EQ(instructions(0x20), 0u);
    EXPECT_EQ(attemptsLeft(), 3);
    EXPECT_TRUE(session.card.chv1Code.empty());
    EXPECT_TRUE(watcher.shared.chv1Pending);
    EXPECT_EQ(instructions(0xB2), 0u) << "no PIN, no read";
}

TEST_F(CardControllerTest, PinWantedAsksUntilTheUserGivesIt) {
    insert(kCardA, true);
    session.reader.devicePath = path;
    controller.pinWanted();
    EXPECT_TRUE(session.reader.chv1Pending);
    EXPECT_TRUE(watcher.shared.chv1Pending);
    type({"1234"});
    controller.pinWanted();
    EXPECT_FALSE(session.reader.chv1Pending);
    EXPECT_FALSE(watcher.shared.chv1Pending);
    EXPECT_EQ(watcher.depth, 0);
}

TEST_F(CardControllerTest, EventsArrivingWhileTheWindowIsBusyAreLetGo) {
    insert(kCardA, false);
    controller.lookForReader();
    watcher.depth = 1; // a read or a dialog of the window holds the watcher
    controller.cardGone();
    controller.otherCard();
    controller.pinWanted();
    controller.readersSeen({});
    EXPECT_TRUE(prompts.codeRequests.empty());
    EXPECT_TRUE(session.phonebookLoaded);
    EXPECT_EQ(panes.panes[1], std::string("Card ") + kIdentityA);
}

TEST_F(CardControllerTest, PinCommandsTellWhatTheyDid) {
    insert(kCardA, true);
    session.reader.devicePath = path;
    struct Case {
        void (CardController::*command)();
        CodeAnswer typed;
        int info;
    };
    const Case cases[] = {
        {&CardController::switchPin, {{"1234"}, true}, 8043},
        {&CardController::switchPin, {{"1234"}, false}, 8042},
        {&CardController::changePin, {{"1234", "5678", "5678"}, false}, 8044},
        {&CardController::unblockPin, {{"12345678", "2468", "2468"}, false}, 8079},
    };
    for (const Case &c : cases) {
        prompts.asked.clear();
        prompts.codes = {c.typed};
        (controller.*c.command)();
        ASSERT_EQ(prompts.asked.size(), 2u);
        EXPECT_EQ(prompts.asked[1].id, c.info);
        EXPECT_EQ(prompts.asked[1].messageKind, MessageKind::Information);
        EXPECT_EQ(watcher.depth, 0);
        EXPECT_FALSE(session.reader.chv1Pending);
    }
    EXPECT_EQ(session.card.chv1Code, "2468");
    prompts.asked.clear();
    controller.changePin(); // cancelled: no information box
    EXPECT_EQ(prompts.asked.size(), 1u);
}

TEST_F(CardControllerTest, ReaderArrivalIsActedOnOnceTheWindowIsFree) {
    driver.attached = false;
    controller.lookForReader();
    EXPECT_EQ(panes.panes[0], "No card reader found");
    insert(kCardA, false);
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
}

TEST_F(CardControllerTest, CardIntoAnUnwatchedReaderConnects) {
    insert(kCardA, false);
    pull();
    controller.lookForReader();
    ASSERT_TRUE(watcher.starts.empty());
    setQuirks({});
    controller.readersSeen(driver.ListReaders());
    EXPECT_EQ(watcher.starts.size(), 1u);
    EXPECT_TRUE(session.phonebookLoaded);
}

} // namespace
} // namespace velnor::test
