#include <QAction>

#include "WindowFixture.h"
#include "app/ConfigKeys.h"
#include "base/TextIds.h"
#include "files/ListImport.h"

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

TEST_F(ListFilesTest, MessagesSavedFromTheMessageTabComeBackAfterTheRowsThere) {
    window().showTab(CMainDlg::kMessageTab);
    MessageList &messages = session().messages;
    const size_t count = messages.size();
    fromMenu(command::SaveFile, dir / "messages.fsm");
    fromMenu(command::OpenFile, dir / "messages.fsm");
    ASSERT_EQ(messages.size(), 2 * count);
    for (size_t row = 0; row < count; ++row) {
        EXPECT_EQ(cells(messages.rows(), count + row), cells(messages.rows(), row));
        EXPECT_TRUE(messages.rows().isChecked(count + row));
        EXPECT_FALSE(messages.rows().isChecked(row));
    }
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(ListFilesTest, ThePhonebookTabSavesAndOpensTheLocalListOnly) {
    RowList &local = session().localPhonebook;
    local.appendRow({"1", "Anna, Berlin", "+4930123456"});
    local.appendRow({"2", "Café \"Zur Post\"", "0891234"});
    const size_t cardRows = session().cardPhonebook.rowCount();
    fromMenu(command::SaveFile, dir / "phone.fpb");
    fromMenu(command::OpenFile, dir / "phone.fpb");
    ASSERT_EQ(local.rowCount(), 4u);
    EXPECT_EQ(cells(local, 2), cells(local, 0));
    EXPECT_EQ(cells(local, 3), cells(local, 1));
    EXPECT_EQ(local.cell(3, 0), "4");
    EXPECT_EQ(session().cardPhonebook.rowCount(), cardRows) << "the card list is never a target";
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
