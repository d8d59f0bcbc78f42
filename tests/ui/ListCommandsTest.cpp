#include <gtest/gtest.h>

#include "base/TextIds.h"
#include "files/ListFile.h"
#include "support/EnglishTexts.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/ListCommands.h"

namespace velnor {
namespace {

class ListCommands : public ::testing::Test {
protected:
    void SetUp() override {
        card.alphaLength = 4;
        local.appendRow({"1", "Anna", "123"});
        messages.append({"1", "Read", "+49", "2008-04-12 13:45:20", "hi"}, MessageImage{});
    }
    void expectWorkerBack() {
        EXPECT_EQ(worker.depth, 0);
        EXPECT_FALSE(worker.unbalanced);
        EXPECT_GT(worker.pauses, 0);
    }

    test::TempDir dir;
    test::EnglishTexts texts;
    test::ScriptedPrompts prompts;
    test::CountingWorker worker;
    Timing timing = Timing::none();
    ListCommandContext context{prompts, texts, worker, timing};
    CardState card;
    ImportReport report;
    RowList local{{"No.", "Name", "Number"}};
    MessageList messages{{"No.", "Status", "Number", "Time", "Text"}};
};

TEST_F(ListCommands, CancelledOrFailedOpenChangesNothingAndSaysOnlyItsOwnMessage) {
    EXPECT_FALSE(openListCommand(context, ListTab::Phonebook, local, messages, card, report));
    EXPECT_FALSE(saveListCommand(context, ListTab::Messages, local, messages));
    prompts.files = {(dir / "missing.fpb").string()};
    report.overLengthFound = true; // left over from an earlier import
    EXPECT_FALSE(openListCommand(context, ListTab::Phonebook, local, messages, card, report));
    EXPECT_EQ(local.rowCount(), 1u);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 0, 0, 8054}));
    expectWorkerBack();
}

TEST_F(ListCommands, OpenReportsRowsTooLongForTheCardOnceOnEitherTab) {
    test::writeFile(dir / "in.fpb", "No.,Name,Number,\r\n\"1\",\"Bob\",\"1\",\r\n"
                                    "\"2\",\"Caroline\",\"2\",\r\n\"3\",\"Alexander\",\"3\",\r\n");
    test::writeFile(dir / "in.fsm", "No.,Status,Number,Time,Text,\r\n\"1\",\"Sent\",\"1\",\"\",\"" +
                                        std::string(170, 'x') + "\",\r\n");
    prompts.files = {(dir / "in.fpb").string(), (dir / "in.fsm").string()};
    report.overLengthFound = true; // left over from an earlier import
    ASSERT_TRUE(openListCommand(context, ListTab::Phonebook, local, messages, card, report));
    EXPECT_EQ(local.rowCount(), 4u);
    EXPECT_NE(prompts.asked[1].text.find("3,4,"), std::string::npos);
    ASSERT_TRUE(openListCommand(context, ListTab::Messages, local, messages, card, report));
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8034, 0, 8070}));
    EXPECT_EQ(prompts.asked[1].messageKind, MessageKind::Error);
    EXPECT_EQ(prompts.asked[2].text, "fsm");
    EXPECT_FALSE(report.overLengthFound);
    EXPECT_EQ(report.overLengthRows, "2,");
    expectWorkerBack();
}

// The code page chosen is kept and offered again: the window's list file tests.
TEST_F(ListCommands, OpenNamesAGuessedCodePage) {
    card.alphaLength = 16;
    // "Иван" in Windows-1251: too short to tell from a GBK name.
    test::writeFile(dir / "in.fpb", "No.,Name,Number,\r\n\"1\",\"\xC8\xE2\xE0\xED\",\"1\",\r\n");
    prompts.files = {(dir / "in.fpb").string()};
    ASSERT_TRUE(openListCommand(context, ListTab::Phonebook, local, messages, card, report));
    ASSERT_EQ(prompts.ids(), (std::vector<int>{0, text::CodePageGuessed}));
    EXPECT_EQ(prompts.asked[1].messageKind, MessageKind::Warning);
    EXPECT_NE(prompts.asked[1].text.find(report.guessedCodePage), std::string::npos);
}

// Which list the tab saves is the window's list file tests'.
TEST_F(ListCommands, SaveAsksBeforeReplacingAFile) {
    const auto path = dir / "out.fpb";
    test::writeFile(path, "old");
    prompts.files = {path.string(), path.string()};
    prompts.yesNo = {false, true};
    EXPECT_FALSE(saveListCommand(context, ListTab::Phonebook, local, messages));
    EXPECT_EQ(test::readFile(path), "old");
    EXPECT_TRUE(saveListCommand(context, ListTab::Phonebook, local, messages));
    EXPECT_EQ(test::readFile(path), listFileText(local));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8075, 0, 8075}));
    expectWorkerBack();
}

} // namespace
} // namespace velnor
