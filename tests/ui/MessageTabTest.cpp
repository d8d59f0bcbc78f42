#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "UiTest.h"
#include "WindowFixture.h"
#include "support/TestVectors.h"
#include "ui/CMessageEditDlg.h"
#include "ui/CMessagePage.h"
#include "ui/CNumberEdit.h"

namespace velnor::test {
namespace {

using Dlg = CMessageEditDlg;

class MessageTabTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openOnMessages();
    }
    // The window anew over the card, the message tab on show, the editor run by editorSteps.
    void openOnMessages() {
        window_.reset();
        openWindow();
        window().showTab(CMainDlg::kMessageTab);
        editorRuns = 0;
        page()->setEditorRun([this](Dlg &dialog) {
            ++editorRuns;
            dialog.show();
            if (editorSteps) {
                editorSteps(dialog);
            }
            return dialog.result() == QDialog::Accepted;
        });
    }

    CMessagePage *page() { return window().messagePage(); }
    CCheckListCtrl *list() { return page()->list(); }
    MessageList &messages() { return session().messages; }
    RowList &rows() { return session().messages.rows(); }
    QPoint rowCentre(size_t row) {
        return list()->visualRect(list()->model()->index(static_cast<int>(row), 2)).center();
    }
    void clickAt(QPoint at) { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at); }
    std::string editAndMove() {
        return enabled(CommandPlace::Button, {command::Edit, command::MoveUp, command::MoveDown});
    }

    std::function<void(Dlg &)> editorSteps;
    int editorRuns = 0;
};

TEST_F(MessageTabTest, TheColumnsShowStatusNumberAndTimeWholeAndTheTextsColouredInTurn) {
    page()->setUpList();
    const int w = list()->viewport()->width();
    const QHeaderView *header = list()->horizontalHeader();
    EXPECT_EQ(header->sectionSize(0), 2 * w / 27);
    EXPECT_EQ(header->length(), w) << "the text takes the rest, and no more";
    const QFontMetrics metrics = list()->fontMetrics();
    for (size_t row = 0; row < rows().rowCount(); ++row) {
        for (const int column : {1, 2, 3}) {
            EXPECT_GT(header->sectionSize(column),
                      metrics.horizontalAdvance(
                          QString::fromStdString(rows().cell(row, static_cast<size_t>(column)))))
                << "row " << row << ", column " << column;
        }
    }
    // The texts are coloured in turn, whatever their status.
    const QColor red(255, 0, 0), black(0, 0, 0), blue(128, 128, 255);
    const QColor expected[] = {red, black, blue};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(list()->model()->index(row, 4).data(Qt::ForegroundRole).value<QColor>(),
                  expected[row % 3])
            << "row " << row;
    }
}

TEST_F(MessageTabTest, DeleteAndTheContextMenuKeepTheRecordsInStepWithTheRows) {
    const MessageStore before = messages().store();
    const size_t count = before.size();
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(messages().size(), count) << "nothing ticked, nothing deleted";
    rows().setChecked(0, true);
    rows().setChecked(count - 1, true);
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(rows().rowCount(), count - 2);
    EXPECT_EQ(messages().store().back(), before[count - 2]);
    // Left now: 1, 2, 3, ...; the context menu deletes the row it was opened on.
    page()->runContextCommand(1, 5604);
    EXPECT_EQ(messages().store()[1], before[3]);

    // Move down from the first row exchanges the records too (how, the message list's tests say).
    rows().selectOnly(0);
    page()->runContextCommand(0, 5606);
    EXPECT_EQ(messages().store()[0], before[3]);
    page()->runContextCommand(1, 5605);
    EXPECT_EQ(messages().store()[0], before[1]);

    // Insert does nothing here; add opens a new message, and cancelling it adds nothing.
    page()->runContextCommand(0, 5602);
    EXPECT_EQ(editorRuns, 0);
    page()->runContextCommand(0, 5601);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(messages().size(), count - 3);
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(MessageTabTest, AClickEnablesEditAndMoveOnlyWithOneMessageSelected) {
    clickAt(rowCentre(3));
    EXPECT_EQ(rows().firstSelected(), 3u);
    EXPECT_EQ(editAndMove(), "111");
    // A click on the wide text column keeps the columns where they are.
    const QPoint inText(list()->viewport()->width() - 5, rowCentre(5).y());
    ASSERT_EQ(list()->columnAt(inText.x()), 4);
    clickAt(inText);
    EXPECT_EQ(rows().firstSelected(), 5u);
    EXPECT_EQ(list()->horizontalScrollBar()->value(), 0);
    list()->setCurrentIndex(list()->model()->index(6, 4));
    EXPECT_EQ(list()->horizontalScrollBar()->value(), 0);

    rows().clearSelection();
    clickAt(QPoint(10, list()->viewport()->height() - 2));
    EXPECT_EQ(editAndMove(), "000");
}

// The demo card's long message is in two records, rows 5 and 6.
TEST_F(MessageTabTest, ALongMessageIsOneRowThatActsOnAllItsParts) {
    const MessageStore before = messages().store();
    const QAbstractItemModel *model = list()->model();
    ASSERT_EQ(model->rowCount(), static_cast<int>(before.size()) - 1);
    const std::string whole = rows().cell(5, 4) + rows().cell(6, 4);
    EXPECT_EQ(model->index(5, 4).data().toString().toStdString(), "[2/2] " + whole);
    clickAt(rowCentre(5));
    EXPECT_EQ(rows().selectedCount(), 2u);
    EXPECT_EQ(editAndMove(), "100");
    EXPECT_EQ(page()->preview()->toPlainText().toStdString(),
              "From: +4915112345678\nTime: 2024-03-18 20:15:33\nStatus: Unread (2/2)\n\n" + whole);
    // Opened, replied to and saved whole.
    editorSteps = [&](Dlg &dialog) {
        prompts.files = {(dir / "long.txt").string()};
        dialog.button(Dlg::kSaveText)->click();
        dialog.button(Dlg::kReply)->click();
        EXPECT_EQ(dialog.recipientField()->text().toStdString(), "+4915112345678");
        dialog.reject();
    };
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(5));
    EXPECT_NE(readFile(dir / "long.txt").find("Content: " + whole + "\r\n"), std::string::npos);

    window().OnCommand(command::JoinMessages);
    EXPECT_EQ(settings.GetSettingLong("Configuration\\Messages", "JoinParts", 1), 0);
    openOnMessages();
    EXPECT_EQ(list()->model()->rowCount(), static_cast<int>(before.size())) << "still off";
    window().OnCommand(command::JoinMessages);
    list()->rows().setChecked(5, true);
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(messages().size(), before.size() - 2);
    EXPECT_EQ(messages().store()[5], before[7]) << "both parts went, nothing else";
}

// message-editing.json: the editor opened on a row (by a double click) or on no row (add), what
// is done in it, and the record that comes out: in place of the row's or after the others.
TEST_F(MessageTabTest, TheEditorsRecordLandsWhereItBelongs) {
    for (const json &v : loadVectors("ui/message-editing.json")) {
        SCOPED_TRACE(v.dump());
        openOnMessages();
        page()->setJoined(false); // the vectors count records
        const MessageStore before = messages().store();
        const size_t count = before.size();
        editorSteps = [&v](Dlg &dialog) {
            EXPECT_EQ(dialog.composeLayout(), v.at("compose"));
            if (v.contains("button")) {
                dialog.button(v["button"])->click();
                EXPECT_EQ(dialog.nameBox()->isHidden(), v.at("nameBoxHidden"));
            }
            if (v.contains("recipient")) {
                typeText(dialog.recipientField(), QString::fromStdString(v["recipient"]));
            }
            if (v.contains("typed")) {
                dialog.textBox()->selectAll();
                typeText(dialog.textBox(), QString::fromStdString(v["typed"]));
            }
            dialog.button(Dlg::kOk)->click();
        };
        const bool onRow = v.contains("row");
        const size_t row = v.value("row", size_t{0});
        if (onRow) {
            const std::string time = rows().cell(row, 3);
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(row));
            EXPECT_EQ(rows().cell(row, 3), time);
        } else {
            window().OnCommand(command::Add);
        }
        const bool appended = v.at("appended");
        ASSERT_EQ(editorRuns, 1);
        ASSERT_EQ(messages().size(), count + (appended ? 1 : 0));
        const size_t at = appended ? count : row;
        if (appended && onRow) {
            EXPECT_EQ(messages().store()[row], before[row]) << "the original stays";
        }
        // The record is composed from the same number and text as the row (the message edit's
        // tests): the row says what the editor handed over.
        EXPECT_EQ(rows().cell(at, 2), v.at("number"));
        EXPECT_EQ(rows().cell(at, 4), v.at("text"));
        if (appended) {
            EXPECT_EQ(rows().firstSelected(), at) << "the new message is the selected one";
        }
        EXPECT_EQ(worker.depth, 0);
    }
}

} // namespace
} // namespace velnor::test
