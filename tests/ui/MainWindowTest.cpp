#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "WindowFixture.h"
#include "ui/CStatusBar.h"
#include "ui/CWorkProgressWnd.h"

namespace velnor::test {
namespace {

class MainWindowTest : public WindowFixture {
protected:
    RowList &local() { return session().localPhonebook; }
    RowList &cardList() { return session().cardPhonebook; }
    QString pane(int n) { return window().panes()->paneText(n); }
    QString formatted(int id, long long a, long long b) {
        return QString::fromStdString(texts.format(id, {a, b}));
    }
    // The colour a label's text is drawn in, as "#rrggbb".
    static std::string labelColour(QLabel *label) {
        label->ensurePolished();
        return label->palette().color(label->foregroundRole()).name().toStdString();
    }
    // Clicks the heading of a list at the middle of a section.
    static void clickHeading(CCheckListCtrl *list, int section) {
        QHeaderView *header = list->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(MainWindowTest, StartUpReadsMessagesThenThePhonebookAndShowsThePhonebookTab) {
    openWindow();
    EXPECT_TRUE(session().messagesLoaded);
    EXPECT_TRUE(session().phonebookLoaded);
    EXPECT_EQ(window().currentTab(), CMainDlg::kPhonebookTab);
    EXPECT_GT(cardList().rowCount(), 5u);
    EXPECT_GT(session().messages.size(), 0u);
    EXPECT_EQ(local().rowCount(), 0u) << "the take-over question was answered no";
    EXPECT_TRUE(pane(1).contains(QStringLiteral("89012345678901234567")));
    EXPECT_EQ(pane(2), formatted(8022, 250, static_cast<long long>(cardList().rowCount())));
    // Connected and read: the card commands and the entry button are on, connect is off.
    EXPECT_FALSE(window().isCommandEnabled(command::Connect, CommandPlace::Menu));
    EXPECT_TRUE(window().isCommandEnabled(command::Disconnect, CommandPlace::Toolbar));
    EXPECT_TRUE(window().isCommandEnabled(command::Write, CommandPlace::Menu));
    EXPECT_TRUE(window().isCommandEnabled(command::Write, CommandPlace::Toolbar));
    EXPECT_TRUE(window().isCommandEnabled(command::FileMenuButton, CommandPlace::Toolbar));
    EXPECT_TRUE(window().isCommandEnabled(command::Add, CommandPlace::Button));
    EXPECT_FALSE(window().isCommandEnabled(command::Edit, CommandPlace::Button));
    EXPECT_EQ(worker.depth, 0);
    EXPECT_FALSE(worker.unbalanced);
}

TEST_F(MainWindowTest, TakingTheEntriesOverFillsTheLocalListAndMakesItActive) {
    prompts.yesNo = {true};
    openWindow();
    EXPECT_EQ(cardList().rowCount(), 0u);
    EXPECT_EQ(local().rowCount(), session().cardPhonebookRowsRead);
    EXPECT_TRUE(session().activePhonebook.local());
    EXPECT_EQ(column(local(), 0).back(), std::to_string(local().rowCount()));
    EXPECT_EQ(labelColour(window().phonebookPage()->localLabel()), "#ff0000") << "the red label";
    EXPECT_EQ(labelColour(window().phonebookPage()->cardLabel()), "#000000");
}

TEST_F(MainWindowTest, TakeAndCopyButtonsSkipDuplicates) {
    openWindow();
    const std::string name = cardList().cell(1, 1);
    const std::string number = cardList().cell(1, 2);
    local().appendRow({"1", name, number});
    const size_t before = cardList().rowCount();
    for (const size_t row : {0, 1, 2}) {
        cardList().setChecked(row, true);
    }
    QTest::mouseClick(window().phonebookPage()->takeButton(), Qt::LeftButton);
    EXPECT_EQ(pane(2), formatted(8025, 3, 1));
    EXPECT_EQ(cardList().rowCount(), before - 3);
    EXPECT_EQ(local().rowCount(), 3u);
    EXPECT_EQ(column(cardList(), 0).front(), "1");
    EXPECT_TRUE(session().activePhonebook.local());

    // The two taken rows are ticked in the local list; copying them back twice adds them once.
    QTest::mouseClick(window().phonebookPage()->copyButton(), Qt::LeftButton);
    EXPECT_EQ(pane(2), formatted(8025, 2, 0));
    QTest::mouseClick(window().phonebookPage()->copyButton(), Qt::LeftButton);
    EXPECT_EQ(pane(2), formatted(8025, 2, 2));
    EXPECT_EQ(cardList().rowCount(), before - 1);
    EXPECT_FALSE(session().activePhonebook.local());
}

TEST_F(MainWindowTest, EditChangesTheSelectedRowAndCancelChangesNothing) {
    openWindow();
    const PhoneEntry original{cardList().cell(2, 1), cardList().cell(2, 2)};
    cardList().selectOnly(2);
    entryAnswers = {PhoneEntry{"Anna", "+4912345"}};
    window().OnCommand(command::Edit);
    ASSERT_EQ(entriesOffered.size(), 1u);
    EXPECT_EQ(entriesOffered[0], original);
    EXPECT_EQ(cardList().cell(2, 1), "Anna");
    EXPECT_EQ(cardList().cell(2, 2), "+4912345");

    // A double click on the row opens the same dialog; cancelling it keeps the row.
    CCheckListCtrl *list = window().phonebookPage()->cardList();
    const QRect rect = list->visualRect(list->model()->index(2, 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(entriesOffered.size(), 2u);
    EXPECT_EQ(cardList().cell(2, 1), "Anna");
}

TEST_F(MainWindowTest, AddAppendsAndInsertNeedsASelectedRow) {
    openWindow();
    const size_t rows = cardList().rowCount();
    entryAnswers = {PhoneEntry{"Added", "123"}, PhoneEntry{"Nowhere", "456"},
                    PhoneEntry{"Inserted", "789"}};
    window().OnCommand(command::Add);
    ASSERT_EQ(cardList().rowCount(), rows + 1);
    EXPECT_EQ(cardList().rowCells(rows),
              (std::vector<std::string>{std::to_string(rows + 1), "Added", "123"}));

    cardList().clearSelection();
    window().OnCommand(command::Insert);
    EXPECT_EQ(cardList().rowCount(), rows + 1) << "no row selected: nothing is inserted";

    cardList().selectOnly(0);
    window().OnCommand(command::Insert);
    ASSERT_EQ(cardList().rowCount(), rows + 2);
    EXPECT_EQ(cardList().cell(1, 1), "Inserted");
    std::vector<std::string> numbers;
    for (size_t i = 1; i <= rows + 2; ++i) {
        numbers.push_back(std::to_string(i));
    }
    EXPECT_EQ(column(cardList(), 0), numbers);
}

TEST_F(MainWindowTest, HeadingClicksSortByNameAlternatelyAndNumberTheRowsAgain) {
    openWindow();
    CCheckListCtrl *list = window().phonebookPage()->cardList();
    std::vector<std::string> names = column(cardList(), 1);
    clickHeading(list, 1);
    std::vector<std::string> ascending = column(cardList(), 1);
    clickHeading(list, 1);
    std::vector<std::string> descending = column(cardList(), 1);
    EXPECT_NE(ascending, names);
    EXPECT_EQ(std::vector<std::string>(descending.rbegin(), descending.rend()), ascending);
    std::sort(names.begin(), names.end());
    std::sort(ascending.begin(), ascending.end());
    EXPECT_EQ(ascending, names) << "sorting keeps every row";
    for (size_t row = 0; row < cardList().rowCount(); ++row) {
        EXPECT_EQ(cardList().cell(row, 0), std::to_string(row + 1));
    }
    EXPECT_FALSE(session().activePhonebook.local()) << "a heading click activates its list";
}

TEST_F(MainWindowTest, TheColumnZeroHeadingTicksAllAndFollowsTheTicks) {
    openWindow();
    CCheckListCtrl *list = window().phonebookPage()->cardList();
    EXPECT_EQ(list->checkHeader()->image(), CheckAllHeader::kNotAllChecked);
    clickHeading(list, 0);
    EXPECT_TRUE(cardList().allChecked());
    EXPECT_EQ(list->checkHeader()->image(), CheckAllHeader::kAllChecked);
    cardList().setChecked(3, false);
    EXPECT_EQ(list->checkHeader()->image(), CheckAllHeader::kNotAllChecked);
    clickHeading(list, 0);
    EXPECT_TRUE(cardList().allChecked());
    clickHeading(list, 0);
    for (size_t row = 0; row < cardList().rowCount(); ++row) {
        EXPECT_FALSE(cardList().isChecked(row));
    }
}

TEST_F(MainWindowTest, DeleteRemovesTheTickedRowsAndNumbersTheRestWithoutGaps) {
    openWindow();
    const size_t rows = cardList().rowCount();
    const std::string kept = cardList().cell(1, 1);
    for (const size_t row : {size_t{0}, size_t{2}, rows - 1}) {
        cardList().setChecked(row, true);
    }
    window().OnCommand(command::DeleteTicked);
    ASSERT_EQ(cardList().rowCount(), rows - 3);
    EXPECT_EQ(cardList().cell(0, 1), kept);
    for (size_t row = 0; row < cardList().rowCount(); ++row) {
        EXPECT_EQ(cardList().cell(row, 0), std::to_string(row + 1));
    }
    // The Delete key on the list does the same for the active list.
    cardList().setChecked(0, true);
    QTest::keyClick(window().phonebookPage()->cardList(), Qt::Key_Delete);
    EXPECT_EQ(cardList().rowCount(), rows - 4);
}

TEST_F(MainWindowTest, MoveUpAndDownCarryTickAndTextButKeepTheNumbers) {
    openWindow();
    const size_t last = cardList().rowCount() - 1;
    const std::string second = cardList().cell(1, 1);
    cardList().setChecked(1, true);
    cardList().selectOnly(1);
    window().OnCommand(command::MoveUp);
    EXPECT_EQ(cardList().cell(0, 1), second);
    EXPECT_TRUE(cardList().isChecked(0));
    EXPECT_FALSE(cardList().isChecked(1));
    EXPECT_EQ(cardList().cell(0, 0), "1");
    EXPECT_EQ(cardList().firstSelected(), 0u);
    EXPECT_EQ(window().phonebookPage()->cardList()->currentIndex().row(), 0);

    const std::vector<std::string> before = column(cardList(), 1);
    window().OnCommand(command::MoveUp);
    EXPECT_EQ(column(cardList(), 1), before) << "the first row does not move up";
    cardList().selectOnly(last);
    window().OnCommand(command::MoveDown);
    EXPECT_EQ(column(cardList(), 1), before) << "the last row does not move down";
    cardList().selectOnly(0);
    window().OnCommand(command::MoveDown);
    EXPECT_EQ(cardList().cell(1, 1), second);
}

TEST_F(MainWindowTest, TheContextMenuDeletesHereAndPassesTheRestOn) {
    openWindow();
    CPhonebookPage *page = window().phonebookPage();
    for (size_t row = 4; row < cardList().rowCount();) {
        cardList().removeRow(row);
    }
    const std::string third = cardList().cell(2, 1);
    page->runContextCommand(page->cardList(), 1, 5604);
    EXPECT_EQ(column(cardList(), 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(cardList().cell(1, 1), third);

    cardList().selectOnly(1);
    page->runContextCommand(page->cardList(), 1, 5605); // passed on as move up
    EXPECT_EQ(cardList().cell(0, 1), third);
}

TEST_F(MainWindowTest, TheEntryButtonsWantExactlyOneSelectedRow) {
    openWindow();
    CPhonebookPage *page = window().phonebookPage();
    cardList().selectOnly(0);
    page->updateEntryButtons(page->cardList());
    for (const int id : {command::Insert, command::Edit, command::MoveUp, command::MoveDown}) {
        EXPECT_TRUE(window().isCommandEnabled(id, CommandPlace::Button)) << id;
    }
    cardList().setSelected(1, true);
    cardList().setSelected(2, true);
    page->updateEntryButtons(page->cardList());
    for (const int id : {command::Insert, command::Edit, command::MoveUp, command::MoveDown}) {
        EXPECT_FALSE(window().isCommandEnabled(id, CommandPlace::Button)) << id;
    }
    EXPECT_TRUE(window().isCommandEnabled(command::DeleteTicked, CommandPlace::Button));
}

TEST_F(MainWindowTest, WrittenPhonebookComesBackOnTheNextRead) {
    openWindow();
    for (size_t row = 3; row < cardList().rowCount(); ++row) {
        cardList().setChecked(row, true);
    }
    window().OnCommand(command::DeleteTicked);
    entryAnswers = {PhoneEntry{"Written", "+4930123"}};
    window().OnCommand(command::Add);
    const std::vector<std::string> names = column(cardList(), 1);
    ASSERT_EQ(names.size(), 4u);

    prompts.yesNo = {true, false}; // write the card; then leave the entries on the card list
    window().OnCommand(command::Write);
    cardList().clear();
    window().OnCommand(command::Read);
    EXPECT_EQ(column(cardList(), 1), names);
    EXPECT_EQ(cardList().cell(3, 2), "+4930123");
    EXPECT_TRUE(window().isEnabled());
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(MainWindowTest, CancellingAReadStopsItAndGivesTheWindowBack) {
    openWindow();
    CWorkProgressWnd &progress = window().progressWindow();
    QTimer::singleShot(0, [&progress] {
        ASSERT_NE(progress.cancelButton(), nullptr);
        QTest::mouseClick(progress.cancelButton(), Qt::LeftButton);
    });
    window().OnCommand(command::Read);
    EXPECT_LT(cardList().rowCount(), session().cardPhonebookRowsRead + 1);
    EXPECT_LE(cardList().rowCount(), 1u) << "the read stopped at its first record";
    bool toldCancelled = false;
    for (const ScriptedPrompts::Asked &asked : prompts.asked) {
        toldCancelled = toldCancelled || asked.text == "Progress Cancelled";
    }
    EXPECT_TRUE(toldCancelled);
    EXPECT_TRUE(window().isEnabled());
    EXPECT_FALSE(progress.window()->isVisible());
}

TEST_F(MainWindowTest, EnterAndEscapeNeverCloseTheWindow) {
    openWindow();
    for (QWidget *target :
         {static_cast<QWidget *>(&window()), static_cast<QWidget *>(window().phonebookPage()),
          static_cast<QWidget *>(window().phonebookPage()->localList())}) {
        QTest::keyClick(target, Qt::Key_Escape);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
    }
    EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowTest, SwitchingTabsEnablesByWhatWasReadAndClearsTheTicks) {
    openWindow();
    local().appendRow({"1", "Local", "1"});
    local().setChecked(0, true);
    window().OnCommand(command::Disconnect);
    EXPECT_EQ(cardList().rowCount(), 0u);
    EXPECT_TRUE(pane(1).isEmpty());
    window().showTab(CMainDlg::kMessageTab);
    window().showTab(CMainDlg::kPhonebookTab);
    EXPECT_FALSE(window().isCommandEnabled(command::Write, CommandPlace::Menu));
    EXPECT_FALSE(window().isCommandEnabled(command::OpenFile, CommandPlace::Menu));
    EXPECT_FALSE(window().isCommandEnabled(command::Add, CommandPlace::Button));
    EXPECT_FALSE(local().isChecked(0));
    EXPECT_TRUE(window().isCommandEnabled(command::Connect, CommandPlace::Toolbar));

    window().OnCommand(command::Connect);
    window().OnCommand(command::Read);
    window().showTab(CMainDlg::kMessageTab);
    window().showTab(CMainDlg::kPhonebookTab);
    EXPECT_TRUE(window().isCommandEnabled(command::Write, CommandPlace::Toolbar));
    EXPECT_TRUE(window().isCommandEnabled(command::Add, CommandPlace::Button));
}

TEST_F(MainWindowTest, ColumnWidthsAreKeptInTheSettingsWhenTheWindowCloses) {
    openWindow();
    window().phonebookPage()->cardList()->horizontalHeader()->resizeSection(1, 133);
    window().OnCommand(command::Exit);
    EXPECT_FALSE(window().isVisible());
    const std::string kept = settings.GetSettingString("ListCtrls", "1802", "");
    EXPECT_EQ(kept.substr(0, 8), "03000000");
    EXPECT_EQ(kept.substr(16, 8), "85000000") << "133 as a little-endian 32-bit number";

    window_.reset();
    openWindow();
    EXPECT_EQ(window().phonebookPage()->cardList()->horizontalHeader()->sectionSize(1), 133);
}

TEST_F(MainWindowTest, TheLanguageMenuSwitchesEveryCaption) {
    openWindow();
    int german = 0;
    for (const MenuItem &item : window().languageMenu().items) {
        if (item.text == "Deutsch") {
            german = item.command;
        }
    }
    ASSERT_NE(german, 0);
    // Item 5200, a separator, then one item per pack; the configured one carries the mark.
    const std::vector<MenuItem> &items = window().languageMenu().items;
    ASSERT_GE(items.size(), 6u);
    EXPECT_EQ(items[0].command, 5200);
    EXPECT_TRUE(items[1].separator);
    EXPECT_EQ(window().languageMenu().item(window().languageMenu().checkedCommand())->text,
              "English");
    EXPECT_EQ(window().languagePopup()->actions().size(), static_cast<qsizetype>(items.size()));
    window().OnCommand(german);
    EXPECT_EQ(window().languageId(), 0x407);
    EXPECT_EQ(settings.GetSettingString("Configuration\\Language", "Name", ""), "Deutsch");
    EXPECT_EQ(window().menuAction(command::Read)->text(),
              QString::fromStdString(texts.get(command::Read + 6356)));
    EXPECT_EQ(window().toolbar()->actions().at(1)->text(), QString::fromStdString(texts.get(8045)));
    EXPECT_EQ(texts.get(8045), "Verbinden");
    EXPECT_EQ(session().localPhonebook.titles()[2], texts.get(8015));
    EXPECT_EQ(pane(2).toStdString(),
              texts.format(8022, {250LL, static_cast<long long>(cardList().rowCount())}));
    EXPECT_EQ(window().languageMenu().checkedCommand(), german);
    EXPECT_EQ(worker.depth, 0);
}

} // namespace
} // namespace velnor::test
