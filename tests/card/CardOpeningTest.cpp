#include <gtest/gtest.h>

#include "CardOpenTestSupport.h"
#include "card/CardOpening.h"

namespace velnor::test {
namespace {

class CardOpening : public CardOpenFixture {
protected:
    bool open() {
        CardOpeningContext context{driver, prompts, texts, status, commands, reader, link};
        return openCard(context);
    }
    std::vector<CodeDialog> dialogsAsked() const {
        std::vector<CodeDialog> dialogs;
        for (const CodeRequest &request : prompts.codeRequests) {
            dialogs.push_back(request.dialog);
        }
        return dialogs;
    }
    static CodeAnswer codes(std::vector<std::string> typed) { return {std::move(typed), false}; }
};

TEST_F(CardOpening, CardWithoutPinShowsItsIdentityAndAsksNothing) {
    insert(kPinOff);
    reader.chv1Pending = true;
    ASSERT_TRUE(open());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(panes.panes[1], std::string("Card ") + kIdentity);
    EXPECT_EQ(status.memory().card.id, 8029);
    EXPECT_EQ(reader.lastIdentity, kIdentity);
    EXPECT_FALSE(link.isCdmaCard);
    EXPECT_TRUE(commands.isEnabled(command::Disconnect, CommandPlace::Menu));
    EXPECT_FALSE(commands.isEnabled(command::Connect, CommandPlace::Toolbar));
}

TEST_F(CardOpening, NoCardShowsNoCardAndLeavesTheCommandsAlone) {
    insert(kPinOff);
    setCardQuirks(*card, {.pulled = true});
    reader.lastIdentity = "8901";
    EXPECT_FALSE(open());
    EXPECT_EQ(panes.panes[1], "No card in the reader");
    EXPECT_EQ(reader.lastIdentity, "8901");
    EXPECT_TRUE(commands.enabled.empty());
}

TEST_F(CardOpening, CardThatDoesNotAnswerItsMasterFileFailsSilently) {
    insert(kPinOff);
    setCardQuirks(*card, {.failAtCommand = 1});
    reader.lastIdentity = "8901";
    EXPECT_FALSE(open());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(reader.lastIdentity, "8901");
    EXPECT_NE(status.memory().card.id, 8029);
}

TEST_F(CardOpening, PendingPinIsAskedUntilTheCardTakesIt) {
    insert(kPinOn);
    prompts.codes = {codes({"1111"}), codes({"1234"})};
    ASSERT_TRUE(open());
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8003, 0})); // dialog, refusal, dialog
    ASSERT_EQ(prompts.codeRequests.size(), 2u);
    EXPECT_EQ(prompts.codeRequests[0].attemptsLeft, 3);
    EXPECT_EQ(prompts.codeRequests[1].attemptsLeft, 2);
    EXPECT_FALSE(reader.chv1Pending);
    EXPECT_EQ(link.chv1Code, "1234");
    EXPECT_EQ(link.chv1CodeOwner, kIdentity);
    EXPECT_EQ(reader.lastIdentity, kIdentity);
}

TEST_F(CardOpening, CancelledPinLeavesTheCardClosedAndThePinPending) {
    insert(kPinOn);
    reader.lastIdentity = "8901";
    EXPECT_FALSE(open());
    EXPECT_EQ(dialogsAsked(), std::vector<CodeDialog>{CodeDialog::Verify});
    EXPECT_TRUE(reader.chv1Pending);
    EXPECT_EQ(reader.lastIdentity, "8901")
        << "a failure before the identity step keeps the old one";
    EXPECT_EQ(instructions(0x20), 0u);
}

TEST_F(CardOpening, BlockedPinOffersTheUnblockFirst) {
    insert(kPinBlocked);
    prompts.yesNo = {true};
    prompts.codes = {codes({"12345678", "4321", "4321"})};
    ASSERT_TRUE(open());
    EXPECT_EQ(prompts.ids().front(), 8080);
    EXPECT_EQ(dialogsAsked(), std::vector<CodeDialog>{CodeDialog::Unblock});
    EXPECT_EQ(prompts.codeRequests[0].attemptsLeft, 10) << "the unblock code's attempts";
    EXPECT_FALSE(reader.chv1Pending);
    EXPECT_EQ(link.chv1Code, "4321");
    EXPECT_EQ(chv1().settings().attemptsLeft, 3);
}

TEST_F(CardOpening, BlockedPinDeclinedGoesOnToThePinEntry) {
    insert(kPinBlocked);
    prompts.yesNo = {false};
    EXPECT_FALSE(open());
    EXPECT_EQ(dialogsAsked(), std::vector<CodeDialog>{CodeDialog::Verify});

    prompts.yesNo = {true}; // yes, then the unblock dialog is cancelled
    prompts.codeRequests.clear();
    EXPECT_FALSE(open());
    EXPECT_EQ(dialogsAsked(), std::vector<CodeDialog>{CodeDialog::Unblock});
    EXPECT_TRUE(reader.chv1Pending);
}

TEST_F(CardOpening, PinGivenForThisCardIsNotAskedAgain) {
    insert(kPinOn);
    link.chv1Code = "1234";
    link.chv1CodeOwner = kIdentity;
    reader.chv1Pending = false;
    ASSERT_TRUE(open());
    EXPECT_TRUE(prompts.codeRequests.empty());
    EXPECT_EQ(link.chv1Code, "1234");
}

// A code belongs to the card that accepted it: another card makes the PIN pending and the code
// is forgotten before anything could offer it to that card.
TEST_F(CardOpening, AnotherCardForgetsTheCodeAndAsksForItsOwn) {
    insert(kPinOn);
    link.chv1Code = "1234";
    link.chv1CodeOwner = "89000000000000000001";
    reader.chv1Pending = false;
    EXPECT_FALSE(open());
    EXPECT_EQ(dialogsAsked(), std::vector<CodeDialog>{CodeDialog::Verify});
    EXPECT_TRUE(link.chv1Code.empty());
    EXPECT_TRUE(link.chv1CodeOwner.empty());
    EXPECT_TRUE(reader.chv1Pending);
    EXPECT_EQ(instructions(0x20), 0u) << "the other card's code was never sent";
}

TEST_F(CardOpening, AnotherCardWithoutPinStillForgetsTheCode) {
    insert(kPinOff);
    link.chv1Code = "1234";
    link.chv1CodeOwner = "89000000000000000001";
    ASSERT_TRUE(open());
    EXPECT_TRUE(link.chv1Code.empty());
}

TEST_F(CardOpening, CdmaCardNeedsTheCdmaDirectoryWithItsMessageFile) {
    insert(kPinOff, R"(, {"path": "3F00/7F25/6F3C", "recordLength": 255, "recordCount": 2})");
    ASSERT_TRUE(open());
    EXPECT_TRUE(link.isCdmaCard);
    insert(kPinOff, R"(, {"path": "3F00/7F25/6F42", "recordLength": 40, "recordCount": 1})");
    ASSERT_TRUE(open());
    EXPECT_FALSE(link.isCdmaCard);
}

// A card that stops answering at any command of the opening never crashes it, and an opening
// that fails leaves neither the identity nor the PIN state half-changed.
TEST_F(CardOpening, CardFailingAtAnyCommandLeavesAConsistentState) {
    insert(kPinOff);
    ASSERT_TRUE(open());
    const unsigned commands = card->withCard([](VirtualSim &sim) { return sim.commandCount(); });
    for (unsigned k = 1; k <= commands; ++k) {
        SCOPED_TRACE("failing command " + std::to_string(k));
        insert(kPinOff);
        setCardQuirks(*card, {.failAtCommand = k});
        reader.lastIdentity = "old";
        if (open()) {
            EXPECT_EQ(panes.panes[1], "Card " + reader.lastIdentity);
        } else {
            EXPECT_EQ(reader.lastIdentity, "old");
        }
    }
}

} // namespace
} // namespace velnor::test
