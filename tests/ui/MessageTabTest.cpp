#include <QAbstractButton>
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
    bool enabled(int id) { return window().isCommandEnabled(id, CommandPlace::Button); }
    QPoint rowCentre(size_t row) {
        return list()->visualRect(list()->model()->index(static_cast<int>(row), 2)).center();
    }
    void clickRow(size_t row) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }
    // The number and text a record image holds, as the card would give them back.
    static std::pair<std::string, std::string> submitOf(const MessageImage &image) {
        SM_PARAM param;
        EXPECT_TRUE(CMyTools::gsmDecodePdu(image.data() + 1, image.size() - 1, param, false));
        const std::string plus = param.numberType == 0x91 ? "+" : "";
        return {plus + param.number, param.text};
    }
    // Writes a message in the editor and presses OK.
    static void writeAndSend(Dlg &dialog, const QString &number, const QString &text) {
        if (!number.isEmpty()) {
            typeText(dialog.recipientField(), number);
        }
        dialog.textBox()->selectAll();
        typeText(dialog.textBox(), text);
        dialog.button(Dlg::kOk)->click();
    }

    std::function<void(Dlg &)> editorSteps;
    int editorRuns = 0;
};

TEST_F(MessageTabTest, TheColumnsAreSizedFromTheListsWidth) {
    page()->setUpList();
    const int w = list()->viewport()->width();
    const QHeaderView *header = list()->horizontalHeader();
    EXPECT_EQ(header->sectionSize(0), 2 * w / 27);
    EXPECT_GE(header->sectionSize(1), w / 18);
    EXPECT_GE(header->sectionSize(2), w / 9);
    EXPECT_GE(header->sectionSize(3), w / 6);
    EXPECT_GE(header->sectionSize(4), 10 * w / 8);
    // Whatever the font, a status word, a number and a time stamp are shown whole.
    const QFontMetrics metrics = list()->fontMetrics();
    for (size_t row = 0; row < rows().rowCount(); ++row) {
        for (const int column : {1, 2, 3}) {
            EXPECT_GT(header->sectionSize(column),
                      metrics.horizontalAdvance(
                          QString::fromStdString(rows().cell(row, static_cast<size_t>(column)))))
                << "row " << row << ", column " << column;
        }
    }
}

TEST_F(MessageTabTest, RowsAreColouredInTurnWhateverTheirStatus) {
    const QColor red(255, 0, 0), black(0, 0, 0), blue(128, 128, 255);
    const QColor expected[] = {red, black, blue, red, black, blue, red};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(list()->model()->index(row, 4).data(Qt::ForegroundRole).value<QColor>(),
                  expected[row])
            << "row " << row;
    }
}

TEST_F(MessageTabTest, DeleteKeyRemovesTheTickedMessagesWithTheirRecords) {
    const MessageStore before = messages().store();
    const size_t count = before.size();
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(messages().size(), count) << "nothing ticked, nothing deleted";

    rows().setChecked(0, true);
    rows().setChecked(2, true);
    rows().setChecked(count - 1, true);
    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(messages().size(), count - 3);
    ASSERT_EQ(rows().rowCount(), count - 3);
    EXPECT_EQ(messages().store()[0], before[1]);
    EXPECT_EQ(messages().store()[1], before[3]);
    EXPECT_EQ(messages().store().back(), before[count - 2]);
    for (size_t row = 0; row < rows().rowCount(); ++row) {
        EXPECT_EQ(rows().cell(row, 0), std::to_string(row + 1));
    }
}

TEST_F(MessageTabTest, AClickEnablesEditAndMoveOnlyWithOneMessageSelected) {
    clickRow(3);
    EXPECT_EQ(rows().firstSelected(), 3u);
    for (const int id : {command::Edit, command::MoveUp, command::MoveDown}) {
        EXPECT_TRUE(enabled(id)) << id;
    }
    // A click on the wide text column keeps the columns where they are.
    const QPoint inText(list()->viewport()->width() - 5, rowCentre(5).y());
    ASSERT_EQ(list()->columnAt(inText.x()), 4);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, inText);
    EXPECT_EQ(rows().firstSelected(), 5u);
    EXPECT_EQ(list()->horizontalScrollBar()->value(), 0);
    list()->setCurrentIndex(list()->model()->index(6, 4));
    EXPECT_EQ(list()->horizontalScrollBar()->value(), 0);

    rows().clearSelection();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      QPoint(10, list()->viewport()->height() - 2));
    for (const int id : {command::Edit, command::MoveUp, command::MoveDown}) {
        EXPECT_FALSE(enabled(id)) << id;
    }
}

TEST_F(MessageTabTest, ContextMenuDeletesTheClickedRowAndSendsTheOtherCommands) {
    const MessageStore before = messages().store();
    page()->runContextCommand(1, 5604);
    ASSERT_EQ(messages().size(), before.size() - 1);
    EXPECT_EQ(messages().store()[1], before[2]);
    EXPECT_EQ(rows().cell(1, 0), "2");

    // Move down from the first row exchanges the records too.
    rows().selectOnly(0);
    page()->runContextCommand(0, 5606);
    EXPECT_EQ(messages().store()[1], before[0]);
    EXPECT_EQ(messages().store()[0], before[2]);
    page()->runContextCommand(1, 5605);
    EXPECT_EQ(messages().store()[0], before[0]);

    // Insert does nothing here; add opens a new message.
    page()->runContextCommand(0, 5602);
    EXPECT_EQ(editorRuns, 0);
    page()->runContextCommand(0, 5601);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(MessageTabTest, NewMessageIsAppendedWithItsRecord) {
    const size_t count = messages().size();
    editorSteps = [](Dlg &dialog) {
        EXPECT_TRUE(dialog.composeLayout());
        writeAndSend(dialog, QStringLiteral("0301112233"), QStringLiteral("Back at 6 {home}"));
    };
    window().OnCommand(command::Add);
    ASSERT_EQ(messages().size(), count + 1);
    const std::vector<std::string> expected{std::to_string(count + 1), texts.get(8038),
                                            "0301112233", "", "Back at 6 {home}"};
    EXPECT_EQ(rows().rowCells(count), expected);
    EXPECT_EQ(messages().store()[count][0], 7);
    EXPECT_EQ(submitOf(messages().store()[count]),
              std::make_pair(std::string("0301112233"), std::string("Back at 6 {home}")));
    EXPECT_EQ(rows().firstSelected(), count) << "the new message is the selected one";
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(MessageTabTest, EditingAnUnsentMessageChangesItInPlace) {
    const size_t count = messages().size();
    ASSERT_EQ(messages().store()[kNotSentRow][0], 7);
    const std::string time = rows().cell(kNotSentRow, 3);
    clickRow(kNotSentRow);
    editorSteps = [](Dlg &dialog) {
        EXPECT_TRUE(dialog.composeLayout());
        EXPECT_EQ(dialog.recipientField()->text(), QStringLiteral("0301234567"));
        writeAndSend(dialog, QString(), QStringLiteral("Call me about the flat, please."));
    };
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(kNotSentRow));
    ASSERT_EQ(editorRuns, 1);
    EXPECT_EQ(messages().size(), count);
    EXPECT_EQ(rows().cell(kNotSentRow, 4), "Call me about the flat, please.");
    EXPECT_EQ(rows().cell(kNotSentRow, 3), time);
    EXPECT_EQ(submitOf(messages().store()[kNotSentRow]).second, "Call me about the flat, please.");
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(MessageTabTest, ReplyingToAReceivedMessageAppendsAndKeepsTheOriginal) {
    const size_t count = messages().size();
    const MessageImage original = messages().store()[kReadRow];
    const std::vector<std::string> originalCells = rows().rowCells(kReadRow);
    rows().selectOnly(kReadRow);
    editorSteps = [](Dlg &dialog) {
        EXPECT_FALSE(dialog.composeLayout());
        dialog.button(Dlg::kReply)->click();
        writeAndSend(dialog, QString(), QStringLiteral("Yes, see you at 8!"));
    };
    window().OnCommand(command::Edit);
    ASSERT_EQ(messages().size(), count + 1);
    EXPECT_EQ(messages().store()[kReadRow], original);
    EXPECT_EQ(rows().rowCells(kReadRow), originalCells);
    EXPECT_EQ(rows().cell(count, 2), originalCells[2]) << "a reply goes to the sender";
    EXPECT_EQ(submitOf(messages().store()[count]),
              std::make_pair(originalCells[2], std::string("Yes, see you at 8!")));
    EXPECT_EQ(rows().cell(count, 3), "") << "a new message has no time";
}

TEST_F(MessageTabTest, ForwardingAnUnsentMessageAddsACopyForTheNewRecipient) {
    const size_t count = messages().size();
    const MessageImage original = messages().store()[kNotSentRow];
    rows().selectOnly(kNotSentRow);
    editorSteps = [](Dlg &dialog) {
        dialog.button(Dlg::kForward)->click();
        typeText(dialog.recipientField(), QStringLiteral("0409998877"));
        dialog.button(Dlg::kOk)->click();
    };
    window().OnCommand(command::Edit);
    ASSERT_EQ(messages().size(), count + 1);
    EXPECT_EQ(messages().store()[kNotSentRow], original);
    EXPECT_EQ(submitOf(messages().store()[count]),
              std::make_pair(std::string("0409998877"), rows().cell(kNotSentRow, 4)));
}

TEST_F(MessageTabTest, TooLongTextIsRefusedAtOkAndCancelKeepsEverything) {
    // The box takes no more than one message holds, but a text may be longer when it opens.
    rows().setCell(kNotSentRow, 4, std::string(150, '['));
    const MessageStore before = messages().store();
    rows().selectOnly(kNotSentRow);
    editorSteps = [this](Dlg &dialog) {
        dialog.button(Dlg::kOk)->click();
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_FALSE(prompts.asked.empty());
        EXPECT_EQ(prompts.asked.back().id, 8082);
        dialog.button(Dlg::kCancel)->click();
    };
    window().OnCommand(command::Edit);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(messages().store(), before);
}

TEST_F(MessageTabTest, TheOpenMessageIsExportedAsText) {
    rows().selectOnly(kReadRow);
    const std::string number = rows().cell(kReadRow, 2);
    const std::string time = rows().cell(kReadRow, 3);
    const std::string text = rows().cell(kReadRow, 4);
    prompts.files = {(dir / "message.txt").string()};
    editorSteps = [](Dlg &dialog) { dialog.button(Dlg::kSaveText)->click(); };
    window().OnCommand(command::Edit);
    EXPECT_EQ(readFile(dir / "message.txt"),
              "\r\n\r\nFrom: " + number + "\r\nTime: " + time + "\r\nContent: " + text + "\r\n");
}

} // namespace
} // namespace velnor::test
