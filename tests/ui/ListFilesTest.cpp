#include <QAction>

#include "WindowFixture.h"
#include "app/ConfigKeys.h"
#include "base/TextIds.h"
#include "files/ListFile.h"

namespace velnor::test {
namespace {

// Open (5100) and save (5101) from the menu: the list of the tab on show goes to the file, and a
// file comes back as ticked rows after the ones there. How rows are read and messages composed
// on import is the list import's to test.
class ListFilesTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openWindow();
        prompts.asked.clear();
    }
    // A file dialog answered with the file, or cancelled without one.
    void fromMenu(int id, const std::filesystem::path &file = {}) {
        prompts.files.clear();
        if (!file.empty()) {
            prompts.files.push_back(file.string());
        }
        window().menuAction(id)->trigger();
    }
    static std::vector<std::string> cells(const RowList &list, size_t row) {
        return {list.rowCells(row).begin() + 1, list.rowCells(row).end()};
    }
    RowList &local() { return session().localPhonebook; }
};

TEST_F(ListFilesTest, TheTabsListIsSavedAndComesBackTickedAfterItsRows) {
    local().appendRow({"1", "Anna, Berlin", "+4930123456"});
    local().appendRow({"2", "Café \"Zur Post\"", "0891234"});
    const size_t cardRows = session().cardPhonebook.rowCount();
    for (const bool messageTab : {true, false}) {
        window().showTab(messageTab ? CMainDlg::kMessageTab : CMainDlg::kPhonebookTab);
        RowList &list = messageTab ? session().messages.rows() : local();
        const size_t count = list.rowCount();
        fromMenu(command::SaveFile, dir / (messageTab ? "list.fsm" : "list.fpb"));
        fromMenu(command::OpenFile, dir / (messageTab ? "list.fsm" : "list.fpb"));
        // How the rows read back and are numbered and ticked is the list import's to test.
        ASSERT_EQ(list.rowCount(), 2 * count);
        EXPECT_EQ(cells(list, 2 * count - 1), cells(list, count - 1));
        EXPECT_TRUE(list.isChecked(2 * count - 1));
    }
    EXPECT_EQ(session().cardPhonebook.rowCount(), cardRows) << "the card list is never a target";
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(ListFilesTest, CancelledOrFailedOpenChangesNothingAndSaysOnlyItsOwnMessage) {
    const int pauses = worker.pauses;
    fromMenu(command::OpenFile);
    fromMenu(command::SaveFile);
    fromMenu(command::OpenFile, dir / "missing.fpb");
    EXPECT_EQ(local().rowCount(), 0u);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 0, 0, 8054}));
    EXPECT_EQ(worker.pauses - pauses, 3) << "each command holds the watcher";
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(ListFilesTest, OpenReportsRowsTooLongForTheCardOnEitherTab) {
    session().card.alphaLength = 4;
    writeFile(dir / "in.fpb", "No.,Name,Number,\r\n\"1\",\"Bob\",\"1\",\r\n"
                              "\"2\",\"Caroline\",\"2\",\r\n\"3\",\"Alexander\",\"3\",\r\n");
    writeFile(dir / "in.fsm", "No.,Status,Number,Time,Text,\r\n\"1\",\"Sent\",\"1\",\"\",\"" +
                                  std::string(170, 'x') + "\",\r\n");
    fromMenu(command::OpenFile, dir / "in.fpb");
    EXPECT_EQ(local().rowCount(), 3u);
    window().showTab(CMainDlg::kMessageTab);
    const size_t messages = session().messages.size();
    fromMenu(command::OpenFile, dir / "in.fsm");
    EXPECT_EQ(session().messages.size(), messages + 1);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8034, 0, 8070}));
    EXPECT_EQ(prompts.asked[1].messageKind, MessageKind::Error);
    EXPECT_NE(prompts.asked[1].text.find("2,3,"), std::string::npos);
    EXPECT_EQ(prompts.asked[2].text, "fsm") << "the message tab opens message files";
    EXPECT_NE(prompts.asked[3].text.find(std::to_string(messages + 1) + ","), std::string::npos);
}

// A name too short to tell its code page draws a warning; the code page chosen is remembered in
// the settings and offered again.
TEST_F(ListFilesTest, TheCodePageGuessedIsNamedAndTheOneChosenRemembered) {
    // "Иван" in Windows-1251: too short to tell from a GBK name.
    writeFile(dir / "ru.fpb", "No.,Name,Number,\r\n\"1\",\"\xC8\xE2\xE0\xED\",\"1\",\r\n");
    fromMenu(command::OpenFile, dir / "ru.fpb");
    ASSERT_EQ(prompts.ids(), (std::vector<int>{0, text::CodePageGuessed}));
    EXPECT_EQ(prompts.asked[1].messageKind, MessageKind::Warning);
    local().clear();
    prompts.asked.clear();
    prompts.codePages = {"windows-1251"};
    fromMenu(command::OpenFile, dir / "ru.fpb");
    EXPECT_EQ(settings.GetSettingString(config::kFilesPath, config::kOpenCodePage, ""),
              "windows-1251");
    fromMenu(command::OpenFile, dir / "ru.fpb"); // offered the remembered one
    EXPECT_EQ(column(local(), 1), (std::vector<std::string>{"Иван", "Иван"}));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 0}));
}

TEST_F(ListFilesTest, SaveAsksBeforeReplacingAFile) {
    local().appendRow({"1", "Anna", "123"});
    writeFile(dir / "out.fpb", "old");
    prompts.yesNo = {false, true};
    fromMenu(command::SaveFile, dir / "out.fpb");
    EXPECT_EQ(readFile(dir / "out.fpb"), "old");
    fromMenu(command::SaveFile, dir / "out.fpb");
    EXPECT_EQ(readFile(dir / "out.fpb"), listFileText(local()));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8075, 0, 8075}));
}

} // namespace
} // namespace velnor::test
