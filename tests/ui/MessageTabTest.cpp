#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "TypeText.h"
#include "WindowFixture.h"
#include "codec/CMyTools.h"
#include "ui/CMessageEditDlg.h"
#include "ui/CMessagePage.h"
#include "ui/CNumberEdit.h"

namespace velnor::test {
namespace {

using Dlg = CMessageEditDlg;

// The demo card's messages in list order: 0 read, 1 and 2 unread, 7 sent, 8 not yet sent.
constexpr size_t kReadRow = 0;
constexpr size_t kNotSentRow = 8;

class MessageTabTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openWindow();
        window().showTab(CMainDlg::kMessageTab);
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
    EXPECT_GE(header->sectionSize(4), 10 * w / 8);
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
    const QColor expected[] = {red, black, blue, red, black, blue, red};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(list()->model()->index(row, 4).data(Qt::ForegroundRole).value<QColor>(),
                  expected[row])
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
    EXPECT_EQ(rows().cell(1, 0), "2");

    // Move down from the first row exchanges the records too.
    rows().selectOnly(0);
    page()->runContextCommand(0, 5606);
    EXPECT_EQ(messages().store()[0], before[3]);
    EXPECT_EQ(messages().store()[1], before[1]);
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

// The editor opened on a row (by a double click) or on no row (add), what is done in it, and the
// record that comes out: in place of the row's or after the others.
struct EditorCase {
    const char *name;
    std::optional<size_t> row;
    std::function<void(Dlg &)> steps;
    bool appended;
    const char *number;
    const char *text;
};

class MessageEditingTest : public MessageTabTest,
                           public ::testing::WithParamInterface<EditorCase> {};

// Writes a text in place of the editor's and presses OK.
void send(Dlg &dialog, const QString &text) {
    dialog.textBox()->selectAll();
    typeText(dialog.textBox(), text);
    dialog.button(Dlg::kOk)->click();
}

TEST_P(MessageEditingTest, TheEditorsRecordLandsWhereItBelongs) {
    const EditorCase &c = GetParam();
    const MessageStore before = messages().store();
    const size_t count = before.size();
    editorSteps = c.steps;
    if (c.row) {
        const std::string time = rows().cell(*c.row, 3);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(*c.row));
        EXPECT_EQ(rows().cell(*c.row, 3), time);
    } else {
        window().OnCommand(command::Add);
    }
    ASSERT_EQ(editorRuns, 1);
    ASSERT_EQ(messages().size(), count + (c.appended ? 1 : 0));
    const size_t at = c.appended ? count : *c.row;
    if (c.appended && c.row) {
        EXPECT_EQ(messages().store()[*c.row], before[*c.row]) << "the original stays";
    }
    EXPECT_EQ(messages().store()[at][0], c.appended ? 7 : before[at][0]);
    SM_PARAM param;
    ASSERT_TRUE(CMyTools::gsmDecodePdu(messages().store()[at].data() + 1,
                                       messages().store()[at].size() - 1, param, false));
    EXPECT_EQ((param.numberType == 0x91 ? "+" : "") + param.number, c.number);
    EXPECT_EQ(param.text, c.text);
    EXPECT_EQ(rows().cell(at, 2), c.number);
    EXPECT_EQ(rows().cell(at, 4), c.text);
    if (c.appended) {
        EXPECT_EQ(rows().cell(at, 1), texts.get(8038));
        EXPECT_EQ(rows().cell(at, 3), "") << "a new message has no time";
        EXPECT_EQ(rows().firstSelected(), at) << "the new message is the selected one";
    }
    EXPECT_EQ(worker.depth, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessageEditingTest,
    ::testing::Values(
        EditorCase{"New", std::nullopt,
                   [](Dlg &dialog) {
                       EXPECT_TRUE(dialog.composeLayout());
                       typeText(dialog.recipientField(), QStringLiteral("0301112233"));
                       send(dialog, QStringLiteral("Back at 6 {home}"));
                   },
                   true, "0301112233", "Back at 6 {home}"},
        EditorCase{"EditUnsent", kNotSentRow,
                   [](Dlg &dialog) {
                       EXPECT_TRUE(dialog.composeLayout());
                       EXPECT_EQ(dialog.recipientField()->text(), QStringLiteral("0301234567"));
                       send(dialog, QStringLiteral("Call me about the flat, please."));
                   },
                   false, "0301234567", "Call me about the flat, please."},
        EditorCase{"ReplyToReceived", kReadRow,
                   [](Dlg &dialog) {
                       EXPECT_FALSE(dialog.composeLayout());
                       dialog.button(Dlg::kReply)->click();
                       EXPECT_TRUE(dialog.nameBox()->isHidden()) << "a reply goes to the sender";
                       send(dialog, QStringLiteral("Yes, see you at 8!"));
                   },
                   true, "+4917612345678", "Yes, see you at 8!"},
        EditorCase{"ForwardUnsent", kNotSentRow,
                   [](Dlg &dialog) {
                       dialog.button(Dlg::kForward)->click();
                       EXPECT_FALSE(dialog.nameBox()->isHidden());
                       typeText(dialog.recipientField(), QStringLiteral("0409998877"));
                       dialog.button(Dlg::kOk)->click();
                   },
                   true, "0409998877", "Please call me back about the flat."}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace velnor::test
