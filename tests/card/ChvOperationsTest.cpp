#include <gtest/gtest.h>

#include "CardOpenTestSupport.h"
#include "card/CardHandle.h"
#include "card/ChvOperations.h"

namespace velnor::test {
namespace {

TEST(ChvFailureReport, StatusByteChoosesTheText) {
    // GSM 11.11, 9.4.5: the second status byte of a 98xx security status.
    const std::pair<uint8_t, int> table[] = {{0x02, 8002}, {0x04, 8003}, {0x08, 8004},
                                             {0x10, 8005}, {0x40, 8006}, {0x00, 8007},
                                             {0x06, 8007}, {0xFF, 8007}};
    for (const auto &[status, id] : table) {
        EXPECT_EQ(chvFailureTextId(status), id) << int(status);
    }
    ScriptedPrompts prompts;
    EnglishTexts texts;
    reportChvFailure(prompts, texts, 0x04);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Error);
    EXPECT_EQ(prompts.asked[0].text, texts.get(8003));
}

class ChvDialogs : public CardOpenFixture {
protected:
    bool run(CodeDialog dialog, bool *switchedOff = nullptr) {
        ChvDialogContext context{driver, prompts, texts, path, link};
        return runChvDialog(context, dialog, switchedOff);
    }
    void type(std::vector<std::string> codes, bool switchOff = false) {
        prompts.codes.push_back({std::move(codes), switchOff});
    }
};

TEST_F(ChvDialogs, WrongCodesUntilBlockedThenUnblocked) {
    insert(kPinOn);
    type({"1111"});
    type({"2222"});
    type({"3333"});
    EXPECT_FALSE(run(CodeDialog::Verify)); // three refusals, then the user gives up
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8003, 0, 8003, 0, 8006, 0}));
    EXPECT_EQ(prompts.asked[1].text, texts.get(8003));
    EXPECT_TRUE(link.chv1Code.empty());
    EXPECT_EQ(chv1().settings().attemptsLeft, 0);

    prompts.asked.clear();
    type({"1234"});
    EXPECT_FALSE(run(CodeDialog::Verify));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8006, 0})) << "blocked: even the right code";

    prompts.asked.clear();
    type({"87654321", "4321", "4321"}); // a wrong unblock code
    type({"12345678", "4321", "4321"});
    ASSERT_TRUE(run(CodeDialog::Unblock));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{3, 8003, 3}));
    EXPECT_EQ(prompts.codeRequests.back().attemptsLeft, 9);
    EXPECT_EQ(link.chv1Code, "4321");
    EXPECT_EQ(link.chv1CodeOwner, kIdentity);
    EXPECT_EQ(chv1().settings().attemptsLeft, 3);
}

TEST_F(ChvDialogs, MistypedRepetitionSendsNothingAndAsksAgain) {
    for (const CodeDialog dialog : {CodeDialog::Change, CodeDialog::Unblock}) {
        insert(kPinOn);
        prompts.asked.clear();
        type({dialog == CodeDialog::Change ? "1234" : "12345678", "5555", "5556"});
        EXPECT_FALSE(run(dialog));
        ASSERT_EQ(prompts.asked.size(), 3u);
        EXPECT_EQ(prompts.asked[1].text, "The new key you input is not the same");
        EXPECT_EQ(prompts.asked[1].messageKind, MessageKind::Error);
        EXPECT_EQ(instructions(0x24) + instructions(0x2C), 0u);
    }
}

TEST_F(ChvDialogs, ChangeKeepsTheNewCode) {
    insert(kPinOn);
    type({"1234", "98765", "98765"});
    ASSERT_TRUE(run(CodeDialog::Change));
    EXPECT_EQ(link.chv1Code, "98765");
    const ChvResult old = performChv(driver, path, link, ChvOperation::Verify, {"1234"});
    EXPECT_FALSE(old.accepted);
    EXPECT_EQ(old.status, 0x04);
    EXPECT_EQ(link.chv1Code, "98765") << "a refusal keeps the stored code";
    EXPECT_TRUE(performChv(driver, path, link, ChvOperation::Verify, {"98765"}).accepted);
}

TEST_F(ChvDialogs, SwitchTellsWhichWayAndAWrongCodeKeepsTheStoredOne) {
    insert(kPinOn);
    link.chv1Code = "1234";
    link.chv1CodeOwner = kIdentity;
    type({"9999"}, true);
    type({"1234"}, true);
    bool off = false;
    ASSERT_TRUE(run(CodeDialog::Switch, &off));
    EXPECT_TRUE(off);
    EXPECT_EQ(prompts.ids()[1], 8003);
    EXPECT_TRUE(link.chv1Code.empty()) << "switched off: no code to present";
    EXPECT_FALSE(chv1().settings().enabled);

    type({"1234"}, false);
    ASSERT_TRUE(run(CodeDialog::Switch, &off));
    EXPECT_FALSE(off);
    EXPECT_EQ(link.chv1Code, "1234");
    EXPECT_TRUE(chv1().settings().enabled);

    type({"9999"}, true);
    EXPECT_FALSE(run(CodeDialog::Switch, &off));
    EXPECT_EQ(link.chv1Code, "1234");
}

TEST_F(ChvDialogs, SwitchingToTheStateTheCardIsInIsAContradiction) {
    insert(kPinOff);
    type({"1234"}, true);
    EXPECT_FALSE(run(CodeDialog::Switch));
    EXPECT_EQ(prompts.ids()[1], 8004);
}

// GSM 11.11, 9.3: a PIN has 4 to 8 digits, an unblock code 8. Any other code is refused before
// the card sees it, so it costs no attempt and never becomes the card's PIN.
TEST_F(ChvDialogs, CodesNoCardCanHoldNeverReachTheCard) {
    const std::pair<CodeDialog, std::vector<std::string>> table[] = {
        {CodeDialog::Verify, {""}},
        {CodeDialog::Verify, {"12"}},
        {CodeDialog::Verify, {"123456789"}},
        {CodeDialog::Verify, {"12a4"}},
        {CodeDialog::Switch, {"123"}},
        {CodeDialog::Change, {"1234", "", ""}},
        {CodeDialog::Change, {"", "4321", "4321"}},
        {CodeDialog::Unblock, {"1234567", "4321", "4321"}},
        {CodeDialog::Unblock, {"12345678", "12", "12"}},
    };
    insert(kPinOn);
    for (const auto &[dialog, codes] : table) {
        prompts.asked.clear();
        type(codes);
        EXPECT_FALSE(run(dialog));
        ASSERT_EQ(prompts.asked.size(), 3u);
        EXPECT_EQ(prompts.asked[1].id, kChvCodeFormText) << codes[0];
    }
    for (const uint8_t instruction : {0x20, 0x24, 0x26, 0x28, 0x2C}) {
        EXPECT_EQ(instructions(instruction), 0u) << int(instruction);
    }
    EXPECT_EQ(chv1().settings().attemptsLeft, 3);
    type({"1234", "12345678", "12345678"}); // the longest code is taken
    EXPECT_TRUE(run(CodeDialog::Change));
}

TEST_F(ChvDialogs, CardThatIsNotThereIsReportedAsARefusal) {
    insert(kPinOn);
    setCardQuirks(*card, {.pulled = true});
    type({"1234"});
    EXPECT_FALSE(run(CodeDialog::Verify));
    EXPECT_EQ(prompts.codeRequests[0].attemptsLeft, -1);
    EXPECT_EQ(prompts.ids()[1], 8007);
}

class StoredCode : public CardOpenFixture {
protected:
    bool present() {
        CardHandle handle(driver, path);
        return presentStoredChv1(driver, handle.get(), link);
    }
};

TEST_F(StoredCode, GoesOnlyToTheCardThatTookIt) {
    insert(kPinOn);
    link.chv1Code = "1234";
    link.chv1CodeOwner = "89000000000000000001";
    EXPECT_FALSE(present());
    link.chv1CodeOwner.clear();
    EXPECT_FALSE(present());
    EXPECT_EQ(instructions(0x20), 0u);

    link.chv1CodeOwner = kIdentity;
    EXPECT_TRUE(present());
    link.chv1Code = "9999";
    EXPECT_FALSE(present());
    EXPECT_EQ(chv1().settings().attemptsLeft, 2);
    link.chv1Code.clear();
    EXPECT_FALSE(present());
    EXPECT_EQ(instructions(0x20), 2u) << "an empty code is never sent";
}

} // namespace
} // namespace velnor::test
