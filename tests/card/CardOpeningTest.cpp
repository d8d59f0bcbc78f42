#include <gtest/gtest.h>

#include "base/CardLink.h"
#include "base/StatusPanes.h"
#include "card/CardOpening.h"
#include "card/ChvOperations.h"
#include "codec/CMyTools.h"
#include "reader/CardHandle.h"
#include "reader/CardTestSupport.h"
#include "support/EnglishTexts.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"
#include "support/TransactionAudit.h"

namespace velnor::test {
namespace {

// A card in a simulated reader with everything a window brings to opening it and to the PIN
// dialogs; every command and question is checked against the card transactions.
class CardOpening : public ::testing::Test {
protected:
    void SetUp() override {
        prompts.inTransaction = [this] { return driver.openTransactions() != 0; };
        reader.devicePath = path;
        reader.readerPresent = true;
    }
    void TearDown() override {
        SimulatedCards::instance().remove(path);
        EXPECT_EQ(driver.looseCommands(), 0u) << "every card command runs in a transaction";
        EXPECT_EQ(prompts.askedInTransaction, 0) << "no question while a transaction is open";
        EXPECT_TRUE(driver.balanced());
    }
    void insert(const json &chv1 = json::object(), const json &moreFiles = json::array(),
                const json &uicc = json()) {
        card = SimulatedCards::instance().insertInMemory(path, cardProfile(chv1, moreFiles, uicc));
    }
    // Asks the questions of one case: the yes/no answers, then the codes typed into each dialog.
    void answer(const json &c) {
        prompts.asked.clear();
        prompts.codeRequests.clear();
        const auto yesNo = c.value("yesNo", std::vector<bool>());
        prompts.yesNo.assign(yesNo.begin(), yesNo.end());
        prompts.codes.clear();
        for (const auto &codes : c.value("typed", json::array())) {
            prompts.codes.push_back(
                {codes.get<std::vector<std::string>>(), c.value("switchOff", false)});
        }
    }
    CardOpened open() {
        CardOpeningContext context{
            driver, prompts, texts, status, reader, link, [this] { answered = true; }};
        return openCard(context);
    }
    bool run(CodeDialog dialog, bool *switchedOff = nullptr) {
        ChvDialogContext context{driver, prompts, texts, path, link};
        return runChvDialog(context, dialog, switchedOff);
    }
    // The attempts left that each PIN dialog showed.
    std::vector<int> attemptsShown() const {
        std::vector<int> attempts;
        for (const CodeRequest &request : prompts.codeRequests) {
            attempts.push_back(request.attemptsLeft);
        }
        return attempts;
    }
    // VERIFY, CHANGE, DISABLE, ENABLE and UNBLOCK CHV commands the card received.
    unsigned chvCommandsSent() {
        unsigned sent = 0;
        for (const uint8_t instruction : {0x20, 0x24, 0x26, 0x28, 0x2C}) {
            sent += instructionsSent(*card, instruction);
        }
        return sent;
    }

    std::string path = testDevicePath();
    TransactionAuditDriver driver{path};
    ScriptedPrompts prompts;
    EnglishTexts texts;
    RecordingPanes panes;
    StatusLine status{panes, texts};
    ReaderState reader;
    CardLink link;
    bool answered = false; // the window was told the card answered its reset
    std::shared_ptr<SimHost> card;
};

// card-opening.json: cards, what the program knows of them and what the user answers; whether
// the card opens (or why not), what is asked and what is kept. A code belongs to the card that
// accepted it: another card makes the PIN pending and the code is forgotten before anything could
// offer it to that card. An opening that fails keeps the identity of the card opened before.
TEST_F(CardOpening, SettlesThePinAsTheCardAndTheUserSay) {
    for (const auto &c : loadVectors("card/card-opening.json")) {
        SCOPED_TRACE(c["what"].get<std::string>());
        insert(c.value("chv1", json::object()), c.value("moreFiles", json::array()),
               c.value("uicc", json()));
        const json quirks = c.value("quirks", json::object());
        setCardQuirks(*card, {.failAtCommand = quirks.value("failAtCommand", 0u),
                              .pulled = quirks.value("pulled", false)});
        link.chv1CodeOwner = c.value("codeOwner", "");
        link.chv1Code = link.chv1CodeOwner.empty() ? "" : "1234";
        reader.chv1Pending = c.value("pending", true);
        reader.lastIdentity = "old";
        panes.panes[1].clear();
        answer(c);
        const std::map<std::string, CardOpened> results = {
            {"Opened", CardOpened::Opened},
            {"NoCard", CardOpened::NoCard},
            {"NotAnswering", CardOpened::NotAnswering},
            {"PinNotGiven", CardOpened::PinNotGiven}};
        const CardOpened result = results.at(c["opened"]);
        const bool opened = result == CardOpened::Opened;
        answered = false;
        EXPECT_EQ(open(), result);
        EXPECT_EQ(answered, result != CardOpened::NoCard);
        EXPECT_EQ(prompts.ids(), c.value("asked", std::vector<int>()));
        EXPECT_EQ(attemptsShown(), c.value("attempts", std::vector<int>()));
        EXPECT_EQ(reader.chv1Pending, c.value("pendingAfter", true));
        EXPECT_EQ(link.chv1Code, c.value("codeAfter", ""));
        EXPECT_EQ(link.chv1CodeOwner, link.chv1Code.empty() ? "" : kIdentity);
        EXPECT_EQ(instructionsSent(*card, 0x20), c.value("verifies", 0u));
        EXPECT_EQ(reader.lastIdentity, opened ? kIdentity : "old");
        EXPECT_EQ(panes.panes[1], opened ? "Card " + kIdentity : c.value("pane", ""));
        EXPECT_EQ(link.isCdmaCard, c.value("cdma", false));
        EXPECT_EQ(static_cast<int>(link.cardKind), c.value("kind", 0));
        if (opened) {
            EXPECT_EQ(status.memory().card.id, 8029);
        }
    }
}

// A card that stops answering at any command of the opening never crashes it, and an opening
// that fails leaves neither the identity nor the PIN state half-changed.
TEST_F(CardOpening, CardFailingAtAnyCommandLeavesAConsistentState) {
    insert({{"enabled", false}});
    ASSERT_EQ(open(), CardOpened::Opened);
    const unsigned opening = card->withCard([](VirtualSim &sim) { return sim.commandCount(); });
    for (unsigned k = 1; k <= opening; ++k) {
        SCOPED_TRACE("failing command " + std::to_string(k));
        insert({{"enabled", false}});
        setCardQuirks(*card, {.failAtCommand = k});
        reader.lastIdentity = "old";
        if (open() == CardOpened::Opened) {
            EXPECT_EQ(panes.panes[1], "Card " + reader.lastIdentity);
        } else {
            EXPECT_EQ(reader.lastIdentity, "old");
        }
    }
}

// pin-dialogs.json: the PIN dialogs one after another on one card, with the codes typed into
// each; what each asks and shows, how many commands it sends, and the code the program keeps.
// A mistyped repetition and a code no card can hold are refused before the card sees them.
TEST_F(CardOpening, PinDialogsTellTheCardsAnswersAndKeepTheCodeItTook) {
    const std::map<std::string, CodeDialog> dialogs = {{"Verify", CodeDialog::Verify},
                                                       {"Switch", CodeDialog::Switch},
                                                       {"Change", CodeDialog::Change},
                                                       {"Unblock", CodeDialog::Unblock}};
    // The same dialogs on a USIM-only card, its PIN1 reached through class 00: each dialog asks
    // the attempts left with one empty VERIFY or UNBLOCK, the rest is as on a SIM.
    for (const bool usimOnly : {false, true}) {
        SCOPED_TRACE(usimOnly ? "USIM only" : "GSM SIM");
        insert(json::object(), json::array(),
               usimOnly ? json{{"classA0", false}, {"aid", "A0000000871002FF49FF0589"}} : json());
        link = {};
        if (usimOnly) {
            link.cardKind = CardKind::UsimOnly;
            link.usimAid = *CMyTools::asc2hex("A0000000871002FF49FF0589");
        }
        for (const auto &step : loadVectors("card/pin-dialogs.json")) {
            SCOPED_TRACE(step.dump());
            setCardQuirks(*card, {.pulled = step.value("pulled", false)});
            answer(step);
            const unsigned sentBefore = chvCommandsSent();
            bool switchedOff = false;
            const bool done = step["done"];
            EXPECT_EQ(run(dialogs.at(step["dialog"].get<std::string>()), &switchedOff), done);
            const unsigned queries =
                usimOnly && !step.value("pulled", false) ? prompts.codeRequests.size() : 0;
            EXPECT_EQ(chvCommandsSent() - sentBefore - queries, step["sent"].get<unsigned>());
            EXPECT_EQ(prompts.ids(), step["asked"].get<std::vector<int>>());
            EXPECT_EQ(attemptsShown(), step["attempts"].get<std::vector<int>>());
            EXPECT_EQ(link.chv1Code, step["codeAfter"].get<std::string>());
            EXPECT_EQ(switchedOff, done && step.value("switchOff", false));
            for (const ScriptedPrompts::Asked &asked : prompts.asked) {
                EXPECT_TRUE(asked.kind == ScriptedPrompts::Asked::Codes ||
                            asked.messageKind == MessageKind::Error);
            }
        }
        EXPECT_EQ(link.chv1CodeOwner, kIdentity);
    }
}

// A stored code is never offered to another card, nor when it is empty; what the card answers to
// the code offered is the transfer tests' (StoredPinIsPresentedOnce).
TEST_F(CardOpening, StoredCodeGoesOnlyToTheCardThatTookIt) {
    insert();
    auto present = [&] {
        CardHandle handle(driver, path);
        return presentStoredChv1(driver, handle.get(), link);
    };
    link.chv1Code = "1234";
    link.chv1CodeOwner = "89000000000000000001";
    EXPECT_FALSE(present());
    link.chv1CodeOwner.clear();
    EXPECT_FALSE(present());
    link.chv1CodeOwner = kIdentity;
    link.chv1Code.clear();
    EXPECT_FALSE(present());
    EXPECT_EQ(instructionsSent(*card, 0x20), 0u) << "an empty code is never sent";
}

// chv-failures.json: the text for each second status byte of a 98xx security status. The
// PIN dialogs above show it as an error.
TEST(ChvFailureReport, StatusByteChoosesTheText) {
    for (const auto &c : loadVectors("card/chv-failures.json")) {
        EXPECT_EQ(chvFailureTextId(c["status"]), c["text"]) << c["status"];
    }
}

} // namespace
} // namespace velnor::test
