#include <QAction>

#include "WindowFixture.h"
#include "app/ConfigKeys.h"
#include "base/TextIds.h"

namespace velnor::test {
namespace {

// Open (5100) and save (5101) from the menu: the list of the tab on show goes to the file, and a
// file comes back as ticked rows after the ones there. How rows are numbered and messages composed
// on import is the list import's to test.
class ListFilesTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openWindow();
    }
    void fromMenu(int id, const std::filesystem::path &file) {
        prompts.files = {file.string()};
        window().menuAction(id)->trigger();
    }
    static std::vector<std::string> cells(const RowList &list, size_t row) {
        return {list.rowCells(row).begin() + 1, list.rowCells(row).end()};
    }
};

TEST_F(ListFilesTest, TheTabsListIsSavedAndComesBackTickedAfterItsRows) {
    session().localPhonebook.appendRow({"1", "Anna, Berlin", "+4930123456"});
    session().localPhonebook.appendRow({"2", "Café \"Zur Post\"", "0891234"});
    const size_t cardRows = session().cardPhonebook.rowCount();
    for (const bool messageTab : {true, false}) {
        window().showTab(messageTab ? CMainDlg::kMessageTab : CMainDlg::kPhonebookTab);
        RowList &list = messageTab ? session().messages.rows() : session().localPhonebook;
        const size_t count = list.rowCount();
        fromMenu(command::SaveFile, dir / (messageTab ? "list.fsm" : "list.fpb"));
        fromMenu(command::OpenFile, dir / (messageTab ? "list.fsm" : "list.fpb"));
        ASSERT_EQ(list.rowCount(), 2 * count);
        for (size_t row = 0; row < count; ++row) {
            EXPECT_EQ(cells(list, count + row), cells(list, row));
            EXPECT_TRUE(list.isChecked(count + row));
            EXPECT_FALSE(list.isChecked(row));
        }
        EXPECT_EQ(list.cell(2 * count - 1, 0), std::to_string(2 * count));
    }
    EXPECT_EQ(session().cardPhonebook.rowCount(), cardRows) << "the card list is never a target";
    EXPECT_EQ(worker.depth, 0);
}

// Cancelled dialogs and the watcher around them are the list commands' own tests.
TEST_F(ListFilesTest, TheCodePageChosenIsRememberedInTheSettings) {
    // "Иван" in Windows-1251: too short for detection to be sure.
    writeFile(dir / "ru.fpb", "No.,Name,Number,\r\n\"1\",\"\xC8\xE2\xE0\xED\",\"1\",\r\n");
    prompts.codePages = {"windows-1251"};
    fromMenu(command::OpenFile, dir / "ru.fpb");
    EXPECT_EQ(settings.GetSettingString(config::kFilesPath, config::kOpenCodePage, ""),
              "windows-1251");
    fromMenu(command::OpenFile, dir / "ru.fpb"); // offered the remembered one
    EXPECT_EQ(column(session().localPhonebook, 1), (std::vector<std::string>{"Иван", "Иван"}));
    EXPECT_TRUE(std::none_of(prompts.asked.begin(), prompts.asked.end(),
                             [](const auto &asked) { return asked.id == text::CodePageGuessed; }));
    EXPECT_EQ(worker.depth, 0);
}

} // namespace
} // namespace velnor::test
