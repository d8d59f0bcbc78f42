#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "UiTest.h"
#include "WindowFixture.h"
#include "base/TextIds.h"
#include "files/ListImport.h"
#include "ui/CMessagePage.h"
#include "ui/CStatusBar.h"
#include "ui/CWorkProgressWnd.h"
#include "widgets/ListHeadings.h"

namespace velnor::test {
namespace {

constexpr CommandPlace kMenu = CommandPlace::Menu;
constexpr CommandPlace kToolbar = CommandPlace::Toolbar;
constexpr CommandPlace kButton = CommandPlace::Button;

class MainWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openWindow();
    }
    RowList &local() { return session().localPhonebook; }
    RowList &cardList() { return session().cardPhonebook; }
    CPhonebookPage *page() { return window().phonebookPage(); }
    QString pane(int n) { return window().panes()->paneText(n); }
    QString formatted(int id, size_t a, size_t b) {
        return QString::fromStdString(
            texts.format(id, {static_cast<long long>(a), static_cast<long long>(b)}));
    }
    void expectNumberedFromOne() {
        for (size_t row = 0; row < cardList().rowCount(); ++row) {
            EXPECT_EQ(cardList().cell(row, 0), std::to_string(row + 1));
        }
    }
    // The colour a label's text is drawn in, as "#rrggbb".
    static std::string labelColour(QLabel *label) {
        label->ensurePolished();
        return label->palette().color(label->foregroundRole()).name().toStdString();
    }
};

TEST_F(MainWindowTest, TakeAndCopyButtonsSkipDuplicates) {
    local().appendRow({"1", cardList().cell(1, 1), cardList().cell(1, 2)});
    cardList().setCell(0, column::SecondName, "Jo"); // goes with its row
    const size_t before = cardList().rowCount();
    for (const size_t row : {0, 1, 2}) {
        cardList().setChecked(row, true);
    }
    QTest::mouseClick(page()->takeButton(), Qt::LeftButton);
    EXPECT_EQ(pane(2), formatted(8025, 3, 1));
    EXPECT_EQ(cardList().rowCount(), before - 3);
    EXPECT_EQ(local().rowCount(), 3u);
    EXPECT_EQ(local().cell(1, column::SecondName), "Jo");
    EXPECT_EQ(column(cardList(), 0).front(), "1");
    EXPECT_EQ(labelColour(page()->localLabel()), "#ff0000") << "the list in use has a red label";
    EXPECT_EQ(labelColour(page()->cardLabel()), "#000000");

    // The two taken rows are ticked in the local list; copying them back twice adds them once.
    QTest::mouseClick(page()->copyButton(), Qt::LeftButton);
    EXPECT_EQ(pane(2), formatted(8025, 2, 0));
    QTest::mouseClick(page()->copyButton(), Qt::LeftButton);
    EXPECT_EQ(pane(2), formatted(8025, 2, 2));
    EXPECT_EQ(cardList().rowCount(), before - 1);
    EXPECT_EQ(labelColour(page()->cardLabel()), "#ff0000");
}

TEST_F(MainWindowTest, TheEntryDialogEditsAddsAndInsertsAtTheSelectedRow) {
    const size_t rows = cardList().rowCount();
    const PhoneEntry original{cardList().cell(2, 1), cardList().cell(2, 2)};
    // The list shows an optional column only while a row fills it.
    const auto hidden = [this] {
        std::string flags;
        for (const size_t c :
             {column::Number, column::Email, column::AdditionalNumber, column::SecondName}) {
            flags += page()->cardList()->isColumnHidden(static_cast<int>(c)) ? '1' : '0';
        }
        return flags;
    };
    EXPECT_EQ(hidden(), "0111");
    cardList().selectOnly(2);
    const PhoneEntry edited{"Anna", "+4912345", "anna@example.org", "+4930", "Annie"};
    entryAnswers = {edited};
    window().OnCommand(command::Edit);
    ASSERT_EQ(entriesOffered, std::vector<PhoneEntry>{original});
    EXPECT_EQ(
        cardList().rowCells(2),
        (std::vector<std::string>{"3", "Anna", "+4912345", "anna@example.org", "+4930", "Annie"}));
    EXPECT_EQ(hidden(), "0000");
    // A double click on the row opens the same dialog; cancelling it keeps the row.
    const QRect rect = page()->cardList()->visualRect(page()->cardList()->model()->index(2, 1));
    QTest::mouseDClick(page()->cardList()->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(entriesOffered.size(), 2u);
    EXPECT_EQ(entriesOffered.back(), edited);
    EXPECT_EQ(cardList().cell(2, 1), "Anna");
    cardList().setCell(2, column::Email, "");
    EXPECT_EQ(hidden(), "0100");

    entryAnswers = {PhoneEntry{"Added", "123"}, PhoneEntry{"Nowhere", "456"},
                    PhoneEntry{"Inserted", "789"}};
    window().OnCommand(command::Add);
    ASSERT_EQ(cardList().rowCount(), rows + 1);
    EXPECT_EQ(cardList().rowCells(rows),
              (std::vector<std::string>{std::to_string(rows + 1), "Added", "123", "", "", ""}));
    cardList().clearSelection();
    window().OnCommand(command::Insert);
    EXPECT_EQ(cardList().rowCount(), rows + 1) << "no row selected: nothing is inserted";
    cardList().selectOnly(0);
    window().OnCommand(command::Insert);
    ASSERT_EQ(cardList().rowCount(), rows + 2);
    EXPECT_EQ(cardList().cell(1, 1), "Inserted");
    expectNumberedFromOne();
}

TEST_F(MainWindowTest, DeleteRemovesTheTickedRowsAndTheContextMenuTheRowClicked) {
    const std::vector<std::string> names = column(cardList(), 1);
    cardList().setChecked(0, true);
    window().OnCommand(command::DeleteTicked);
    cardList().setChecked(cardList().rowCount() - 1, true);
    QTest::keyClick(page()->cardList(), Qt::Key_Delete);
    EXPECT_EQ(column(cardList(), 1), std::vector<std::string>(names.begin() + 1, names.end() - 1));
    page()->runContextCommand(page()->cardList(), 1, 5604);
    EXPECT_EQ(cardList().cell(1, 1), names[3]);
    expectNumberedFromOne();
    cardList().selectOnly(1);
    page()->runContextCommand(page()->cardList(), 1, 5605); // passed on as move up
    EXPECT_EQ(cardList().cell(0, 1), names[3]);
    // With nothing ticked the Delete key takes the selected row.
    cardList().selectOnly(0);
    QTest::keyClick(page()->cardList(), Qt::Key_Delete);
    EXPECT_EQ(cardList().cell(0, 1), names[1]);
}

TEST_F(MainWindowTest, MovesAndTheEntryButtonsNeedExactlyOneSelectedRow) {
    const auto buttons = [this] {
        page()->updateEntryButtons(page()->cardList());
        return enabled(kButton, {command::Insert, command::MoveDown, command::DeleteTicked});
    };
    const std::vector<std::string> names = column(cardList(), 1);
    cardList().selectOnly(1);
    EXPECT_EQ(buttons(), "111");
    window().OnCommand(command::MoveUp);
    EXPECT_EQ(column(cardList(), 1)[0], names[1]);
    EXPECT_EQ(cardList().cell(0, 0), "1");
    EXPECT_EQ(page()->cardList()->currentIndex().row(), 0) << "the view follows";
    window().OnCommand(command::MoveUp);
    EXPECT_EQ(column(cardList(), 1)[0], names[1]) << "the first row does not move up";
    cardList().selectOnly(names.size() - 1);
    window().OnCommand(command::MoveDown);
    EXPECT_EQ(column(cardList(), 1).back(), names.back()) << "the last row does not move down";
    cardList().setSelected(0, true);
    EXPECT_EQ(buttons(), "001");
}

TEST_F(MainWindowTest, WrittenPhonebookComesBackOnTheNextRead) {
    entryAnswers = {PhoneEntry{"Written", "+4930123"}};
    window().OnCommand(command::Add);
    const std::vector<std::string> names = column(cardList(), 1);

    prompts.yesNo = {true, false}; // write the card; then leave the entries on the card list
    window().OnCommand(command::Write);
    cardList().clear();
    window().OnCommand(command::Read);
    EXPECT_EQ(column(cardList(), 1), names);
    EXPECT_EQ(cardList().rowCells(names.size() - 1)[2], "+4930123");
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(MainWindowTest, CancellingAReadStopsItAndGivesTheWindowBack) {
    CWorkProgressWnd &progress = window().progressWindow();
    QTimer::singleShot(0, [&progress] {
        ASSERT_NE(progress.cancelButton(), nullptr);
        QTest::mouseClick(progress.cancelButton(), Qt::LeftButton);
    });
    window().OnCommand(command::Read);
    EXPECT_LE(cardList().rowCount(), 1u) << "the read stopped at its first record";
    EXPECT_TRUE(window().isEnabled());
    EXPECT_FALSE(progress.window()->isVisible());
}

// Without the documented pacing a read waits for nothing: the window only repaints where a wait
// was, and a card that answers slowly is still read whole. Options turns the pacing on; the
// same read then waits the documented times at the same points, and the choice is kept.
TEST_F(MainWindowTest, DocumentedPacingIsAChoiceAndNoReadNeedsIt) {
    host->withCard([](VirtualSim &sim) { sim.setQuirks({.answerDelayMs = 1}); });
    const size_t entries = cardList().rowCount();
    const auto readNoting = [this] {
        waits.clear();
        prompts.yesNo = {false};
        window().OnCommand(command::Read);
        return waits;
    };
    const std::vector<int> prompt = readNoting();
    EXPECT_EQ(cardList().rowCount(), entries);
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), 0), std::ssize(prompt));

    window().OnCommand(command::DocumentedPacing);
    const std::vector<int> paced = readNoting();
    const Timing documented = Timing::documented();
    EXPECT_EQ(paced, (std::vector<int>{documented.readStart, documented.takeOverRedraw,
                                       documented.finishBefore, documented.finishAfter}));
    EXPECT_EQ(prompt.size(), paced.size());
    EXPECT_EQ(settings.GetSettingLong("Configuration\\Reader", "DocumentedPacing", 0), 1);

    openWindow();
    EXPECT_TRUE(window().menuAction(command::DocumentedPacing)->isChecked()) << "kept";
    window().OnCommand(command::DocumentedPacing);
    EXPECT_EQ(readNoting(), prompt);
    EXPECT_EQ(settings.GetSettingLong("Configuration\\Reader", "DocumentedPacing", 1), 0);
}

TEST_F(MainWindowTest, EnterAndEscapeAreTakenBeforeTheyCanCloseAnything) {
    for (QWidget *target :
         std::initializer_list<QWidget *>{&window(), page(), page()->localList(),
                                          window().messagePage(), window().messagePage()->list()}) {
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            EXPECT_TRUE(press.isAccepted()) << target->metaObject()->className() << " " << key;
        }
    }
    EXPECT_TRUE(page()->isVisible());
}

TEST_F(MainWindowTest, SwitchingTabsEnablesByWhatWasReadAndClearsTheTicks) {
    local().appendRow({"1", "Local", "1"});
    local().setChecked(0, true);
    window().OnCommand(command::Disconnect);
    const auto switchAndLook = [this] {
        window().showTab(CMainDlg::kMessageTab);
        window().showTab(CMainDlg::kPhonebookTab);
        return enabled(kMenu, {command::Write, command::OpenFile}) +
               enabled(kToolbar, {command::Write, command::Connect}) +
               enabled(kButton, {command::Add});
    };
    EXPECT_EQ(switchAndLook(), "01011");
    EXPECT_FALSE(local().isChecked(0));

    window().OnCommand(command::Connect);
    EXPECT_EQ(enabled(kToolbar, {command::FileMenuButton}), "1") << "a file needs no card";
    window().OnCommand(command::Read);
    EXPECT_EQ(switchAndLook(), "11101");
}

// Without a reader or card the list files, the local list and the entry dialog work; only the
// card commands wait for a card.
using OfflineWindowTest = WindowFixture;
TEST_F(OfflineWindowTest, ListsAreEditedSavedAndOpenedWithoutACard) {
    openWindow(false);
    EXPECT_EQ(
        enabled(kMenu, {command::OpenFile, command::SaveFile, command::Read, command::Write}) +
            enabled(kToolbar, {command::FileMenuButton, command::Read}) +
            enabled(kButton, {command::Add}),
        "1100101");
    entryAnswers = {PhoneEntry{"Anna Weiß, Berlin", "+4930123456"}};
    window().OnCommand(command::Add);
    RowList &local = session().localPhonebook;
    ASSERT_EQ(local.rowCount(), 1u);
    const std::vector<std::string> row = local.rowCells(0);
    const std::filesystem::path file = dir / "offline.fpb";
    prompts.files = {file.string()};
    window().OnCommand(command::SaveFile);
    local.clear();
    prompts.files = {file.string()};
    window().OnCommand(command::OpenFile);
    ASSERT_EQ(local.rowCount(), 1u);
    EXPECT_EQ(local.rowCells(0), row);
}

// Contacts come in from other programs' files by Import or a drop, a CSV file with columns no
// export uses from the columns the user picks, a contact without a number named; they go out in
// the format the chosen file's extension names.
TEST_F(OfflineWindowTest, ContactsComeInByImportOrDropAndGoOutAsTheExtensionSays) {
    openWindow(false);
    prompts.asked.clear();
    writeFile(dir / "a.vcf",
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nTEL:+49 (30) 123\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nobody\r\nEND:VCARD\r\n");
    writeFile(dir / "b.txt", "Who;Phone nr\nBob;0301\n");
    std::vector<std::string> offered;
    window().setColumnChooser([&offered](const std::vector<std::string> &columns) {
        offered = columns;
        return std::optional(CsvColumnChoice{0, 1});
    });
    prompts.files = {(dir / "a.vcf").string()};
    window().OnCommand(command::ImportContacts);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, text::ContactsWithoutNumber}))
        << "file, no number";
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir / "b.txt").string()))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window(), &drop);
    EXPECT_EQ(offered, (std::vector<std::string>{"Who", "Phone nr"}));
    RowList &local = session().localPhonebook;
    EXPECT_EQ(column(local, 1), (std::vector<std::string>{"Anna", "Bob"}));
    EXPECT_EQ(column(local, 2), (std::vector<std::string>{"+4930123", "0301"}));

    for (const char *name : {"out.csv", "out.vcf"}) {
        prompts.files = {(dir / name).string()};
        window().OnCommand(command::ExportContacts);
        EXPECT_EQ(readFile(dir / name).substr(0, 11),
                  name[4] == 'c' ? "Name,Number" : "BEGIN:VCARD");
        RowList back({"No.", "Name", "Number"});
        ImportReport report;
        ASSERT_TRUE(
            ImportListFile((dir / name).string(), back, session().card, report, prompts, texts));
        EXPECT_EQ(column(back, 2), column(local, 2)) << name;
    }
}

// The window's size and the columns the user set outlive the window; where the list is too
// narrow for them the columns are narrowed to show whole, and get their widths back with room.
TEST_F(MainWindowTest, ColumnWidthsOutliveTheWindowAndASortAndHeadingsActivateTheirList) {
    CSortListCtrl *list = page()->cardList();
    list->horizontalHeader()->resizeSection(1, 133);
    window().resize(760, 560);
    window().OnCommand(command::Exit);
    EXPECT_FALSE(window().isVisible());

    window_.reset();
    openWindow();
    EXPECT_EQ(window().size(), QSize(760, 560));
    list = page()->cardList();
    QApplication::processEvents();
    EXPECT_EQ(list->horizontalHeader()->length(), list->viewport()->width()) << "none cut off";
    window().resize(1400, 700);
    EXPECT_EQ(list->horizontalHeader()->sectionSize(1), 133);
    clickHeading(page()->localList(), 1);
    EXPECT_TRUE(session().activePhonebook.local());
    clickHeading(page()->cardList(), 1);
    EXPECT_FALSE(session().activePhonebook.local());
    EXPECT_EQ(list->horizontalHeader()->sectionSize(1), 133) << "a sort keeps them";

    // Widths kept for the three columns of the lists before the optional ones still count.
    window_.reset();
    settings.SetSettingString("ListCtrls", "1802", columnWidthsText({40, 150, 90}));
    openWindow();
    EXPECT_EQ(page()->cardList()->wantedWidth(1), 150);
}

} // namespace
} // namespace velnor::test
