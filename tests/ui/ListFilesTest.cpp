#include <QAction>

#include "WindowFixture.h"
#include "app/ConfigKeys.h"
#include "codec/CMyTools.h"
#include "files/ListImport.h"

namespace velnor::test {
namespace {

// Open (5100) and save (5101) from the menu: the list of the tab on show goes to the file, and a
// file comes back as ticked rows after the ones there.
class ListFilesTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openWindow();
    }
    void fromMenu(int id) { window().menuAction(id)->trigger(); }
    std::vector<std::string> cells(const RowList &list, size_t row) {
        return {list.rowCells(row).begin() + 1, list.rowCells(row).end()};
    }
    size_t askedCount(int id) const {
        size_t count = 0;
        for (const auto &asked : prompts.asked) {
            count += asked.id == id ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ListFilesTest, MessagesSavedFromTheMessageTabComeBackAfterTheRowsThere) {
    window().showTab(CMainDlg::kMessageTab);
    MessageList &messages = session().messages;
    const size_t count = messages.size();
    const std::string path = (dir / "messages.fsm").string();
    prompts.files = {path};
    fromMenu(command::SaveFile);
    const std::string saved = readFile(path);
    EXPECT_EQ(saved.rfind("No.,Status,Number,Time,Text,\r\n", 0), 0u);

    prompts.files = {path};
    fromMenu(command::OpenFile);
    ASSERT_EQ(messages.size(), 2 * count);
    for (size_t row = 0; row < count; ++row) {
        EXPECT_EQ(cells(messages.rows(), count + row), cells(messages.rows(), row));
        EXPECT_EQ(messages.rows().cell(count + row, 0), std::to_string(count + row + 1));
        EXPECT_TRUE(messages.rows().isChecked(count + row));
        EXPECT_FALSE(messages.rows().isChecked(row));
        SM_PARAM param;
        ASSERT_TRUE(CMyTools::gsmDecodePdu(messages.store()[count + row].data() + 1,
                                           kMessageImageSize - 1, param, false));
        EXPECT_EQ(param.text, messages.rows().cell(row, 4)) << "row " << row;
    }
    EXPECT_EQ(askedCount(8070), 0u);
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(ListFilesTest, ThePhonebookTabSavesAndOpensTheLocalList) {
    window().showTab(CMainDlg::kPhonebookTab);
    RowList &local = session().localPhonebook;
    local.appendRow({"1", "Anna, Berlin", "+4930123456"});
    local.appendRow({"2", "Café \"Zur Post\"", "0891234"});
    const size_t cardRows = session().cardPhonebook.rowCount();
    const std::string path = (dir / "phone.fpb").string();
    prompts.files = {path};
    fromMenu(command::SaveFile);
    std::string header;
    for (const std::string &title : local.titles()) {
        header += title + ",";
    }
    EXPECT_EQ(readFile(path), header + "\r\n\"1\",\"Anna, Berlin\",\"+4930123456\",\r\n"
                                       "\"2\",\"Café \"Zur Post\"\",\"0891234\",\r\n");

    prompts.files = {path};
    fromMenu(command::OpenFile);
    ASSERT_EQ(local.rowCount(), 4u);
    EXPECT_EQ(cells(local, 2), cells(local, 0));
    EXPECT_EQ(local.cell(3, 0), "4");
    EXPECT_EQ(session().cardPhonebook.rowCount(), cardRows) << "the card list is never a target";
}

TEST_F(ListFilesTest, AnExistingFileIsReplacedOnlyAfterYes) {
    window().showTab(CMainDlg::kMessageTab);
    const auto path = dir / "old.fsm";
    writeFile(path, "keep me");
    prompts.files = {path.string()};
    prompts.yesNo = {false};
    fromMenu(command::SaveFile);
    EXPECT_EQ(askedCount(8075), 1u);
    EXPECT_EQ(readFile(path), "keep me");

    prompts.files = {path.string()};
    prompts.yesNo = {true};
    fromMenu(command::SaveFile);
    EXPECT_NE(readFile(path), "keep me");
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(ListFilesTest, MessagesTooLongForTheCardAreReportedByTheirNumbers) {
    window().showTab(CMainDlg::kMessageTab);
    const size_t count = session().messages.size();
    const std::string longText(165, 'x');
    const auto path = dir / "long.fsm";
    writeFile(path, "No.,Status,Number,Time,Text,\r\n\"1\",\"Not sent\",\"123\",\"\",\"short\",\r\n"
                    "\"2\",\"Not sent\",\"123\",\"\",\"" +
                        longText + "\",\r\n");
    prompts.files = {path.string()};
    fromMenu(command::OpenFile);
    ASSERT_EQ(session().messages.size(), count + 2);
    EXPECT_EQ(session().messages.rows().cell(count + 1, 4), longText) << "the list keeps it all";
    ASSERT_EQ(askedCount(8070), 1u);
    EXPECT_NE(prompts.asked.back().text.find(std::to_string(count + 2) + ","), std::string::npos);
    EXPECT_EQ(prompts.asked.back().messageKind, MessageKind::Error);
}

TEST_F(ListFilesTest, TheCodePageChosenInTheOpenDialogIsRemembered) {
    window().showTab(CMainDlg::kPhonebookTab);
    RowList &local = session().localPhonebook;
    // "Иван" in Windows-1251: too short for detection to be sure.
    const auto path = dir / "ru.fpb";
    writeFile(path, "No.,Name,Number,\r\n\"1\",\"\xC8\xE2\xE0\xED\",\"1\",\r\n");
    prompts.files = {path.string(), path.string()};
    prompts.codePages = {"windows-1251"};
    fromMenu(command::OpenFile);
    EXPECT_EQ(settings.GetSettingString(config::kFilesPath, config::kOpenCodePage, ""),
              "windows-1251");
    fromMenu(command::OpenFile); // offered the remembered one
    EXPECT_EQ(column(local, 1), (std::vector<std::string>{"Иван", "Иван"}));
    EXPECT_EQ(askedCount(kGuessedCodePageText), 0u);
}

TEST_F(ListFilesTest, CancelledDialogsChangeNothing) {
    window().showTab(CMainDlg::kMessageTab);
    const size_t count = session().messages.size();
    const int pauses = worker.pauses;
    fromMenu(command::OpenFile);
    fromMenu(command::SaveFile);
    EXPECT_EQ(session().messages.size(), count);
    EXPECT_EQ(worker.depth, 0);
    EXPECT_EQ(worker.pauses - pauses, 2) << "the watcher is held around each dialog";
}

} // namespace
} // namespace velnor::test
