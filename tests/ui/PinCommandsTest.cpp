#include "WindowFixture.h"
#include "simcard/DemoProfile.h"

namespace velnor::test {
namespace {

const std::string kMismatch = "The new key you input is not the same";

class PinCommandsTest : public WindowFixture {
protected:
    ChvState::Settings chv() {
        return host->withCard([](VirtualSim &sim) { return sim.chv1().settings(); });
    }
    // The string numbers of the messages shown since the window opened.
    std::vector<int> messagesShown() const {
        std::vector<int> ids;
        for (size_t i = askedBefore; i < prompts.asked.size(); ++i) {
            if (prompts.asked[i].kind == ScriptedPrompts::Asked::Message) {
                ids.push_back(prompts.asked[i].id);
            }
        }
        return ids;
    }
    void open() {
        openWindow();
        askedBefore = prompts.asked.size();
    }
    bool mismatchShown() const {
        for (const ScriptedPrompts::Asked &asked : prompts.asked) {
            if (asked.text == kMismatch) {
                return true;
            }
        }
        return false;
    }
    size_t askedBefore = 0;
};

CodeAnswer codes(std::vector<std::string> values, bool switchOff = false) {
    return CodeAnswer{std::move(values), switchOff};
}

TEST_F(PinCommandsTest, SwitchingOnRefusesAWrongCodeThenTakesTheRightOne) {
    open();
    prompts.codes = {codes({"0000"}), codes({"1234"})};
    window().OnCommand(command::PinSwitch);
    EXPECT_EQ(messagesShown(), (std::vector<int>{8003, 8042}));
    EXPECT_TRUE(chv().enabled);
    EXPECT_EQ(session().card.chv1Code, "1234");
    ASSERT_EQ(prompts.codeRequests.size(), 2u);
    EXPECT_EQ(prompts.codeRequests[0].dialog, CodeDialog::Switch);
    EXPECT_EQ(prompts.codeRequests[1].attemptsLeft, prompts.codeRequests[0].attemptsLeft - 1)
        << "the dialog tells the attempts the wrong code cost";
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(PinCommandsTest, SwitchingOffWithAWrongCodeKeepsTheCode) {
    open();
    prompts.codes = {codes({"1234"}), codes({"9999"}, true)};
    window().OnCommand(command::PinSwitch);
    window().OnCommand(command::PinSwitch);
    EXPECT_EQ(messagesShown(), (std::vector<int>{8042, 8003}));
    EXPECT_TRUE(chv().enabled);
    EXPECT_EQ(session().card.chv1Code, "1234");

    prompts.codes = {codes({"1234"}, true)};
    window().OnCommand(command::PinSwitch);
    EXPECT_EQ(messagesShown().back(), 8043);
    EXPECT_FALSE(chv().enabled);
    EXPECT_EQ(session().card.chv1Code, "");
}

TEST_F(PinCommandsTest, ChangeChecksTheRepetitionBeforeTheCard) {
    open();
    prompts.codes = {codes({"1234"}), codes({"1234", "5678", "5679"}),
                     codes({"1111", "5678", "5678"}), codes({"1234", "5678", "5678"})};
    window().OnCommand(command::PinSwitch);
    window().OnCommand(command::PinChange);
    EXPECT_TRUE(mismatchShown());
    EXPECT_EQ(messagesShown(), (std::vector<int>{8042, 0, 8003, 8044}));
    EXPECT_EQ(session().card.chv1Code, "5678");
    EXPECT_EQ(chv().code, chvCodeFromText("5678"));
}

TEST_F(PinCommandsTest, UnblockTakesCodesOfAnyLengthAndSetsTheNewCode) {
    open();
    prompts.codes = {codes({"87654321", "24680", "24680"}), codes({"12345678", "24680", "24680"})};
    window().OnCommand(command::PinUnblock);
    EXPECT_EQ(messagesShown(), (std::vector<int>{8003, 8079}));
    EXPECT_EQ(session().card.chv1Code, "24680");
    EXPECT_EQ(chv().code, chvCodeFromText("24680"));
    EXPECT_EQ(prompts.codeRequests[0].dialog, CodeDialog::Unblock);
}

TEST_F(PinCommandsTest, CancellingADialogChangesNothingAndSaysNothing) {
    open();
    const int pausesBefore = worker.pauses;
    window().OnCommand(command::PinChange);
    window().OnCommand(command::PinUnblock);
    window().OnCommand(command::PinSwitch);
    EXPECT_TRUE(messagesShown().empty());
    EXPECT_FALSE(chv().enabled);
    EXPECT_EQ(worker.depth, 0);
    EXPECT_EQ(worker.pauses, pausesBefore + 3) << "every command holds the watcher once";
}

TEST_F(PinCommandsTest, ACardThatWantsItsPinIsReadOnceTheRightCodeIsGiven) {
    CardProfile profile = makeDemoCard(false);
    profile.chv1.enabled = true;
    insertCard(profile);
    prompts.codes = {codes({"4321"}), codes({"1234"})};
    open();
    ASSERT_GE(prompts.codeRequests.size(), 2u);
    EXPECT_EQ(prompts.codeRequests[0].dialog, CodeDialog::Verify);
    EXPECT_EQ(prompts.codeRequests[0].attemptsLeft, 3);
    EXPECT_EQ(prompts.codeRequests[1].attemptsLeft, 2);
    EXPECT_TRUE(session().phonebookLoaded);
    EXPECT_TRUE(session().messagesLoaded);
    EXPECT_FALSE(session().reader.chv1Pending);
}

TEST_F(PinCommandsTest, ACardWhosePinIsNotGivenStaysUnread) {
    CardProfile profile = makeDemoCard(false);
    profile.chv1.enabled = true;
    insertCard(profile);
    open();
    EXPECT_FALSE(session().phonebookLoaded);
    EXPECT_EQ(session().cardPhonebook.rowCount(), 0u);
    EXPECT_TRUE(session().reader.chv1Pending);
}

} // namespace
} // namespace velnor::test
