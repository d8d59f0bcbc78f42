#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "UiTest.h"
#include "support/TempDir.h"
#include "support/TestVectors.h"
#include "ui/CMessageEditDlg.h"
#include "ui/CNumberEdit.h"

namespace velnor::test {
namespace {

using Dlg = CMessageEditDlg;

class MessageEditorTest : public DialogFixture {
protected:
    MessageEditorTest() : phonebook({"No.", "Name", "Number"}) {
        phonebook.appendRow({"1", "Alice", "+491701111"});
        phonebook.appendRow({"2", "Bob", "0302222"});
        phonebook.appendRow({"3", "Carol", "112"});
    }

    std::unique_ptr<Dlg> open(MessageEditorFields fields) {
        auto dialog = std::make_unique<Dlg>(texts, prompts, card, phonebook, std::move(fields));
        dialog->show();
        return dialog;
    }
    std::unique_ptr<Dlg> openNew() { return open({true, true, "", "", "", ""}); }
    // A received message as a double click opens it.
    std::unique_ptr<Dlg> openReceived() {
        return open({false, false, "+4917612345678", "+4917612345678", "2024-03-14 18:02:11",
                     "Hi! Dinner at 8?"});
    }
    // Compose layout; name box, recipient, sender and time shown; OK, Reply, Forward and Save on.
    static std::string layout(const Dlg &dialog) {
        std::string bits = dialog.composeLayout() ? "1" : "0";
        for (const QWidget *field :
             std::initializer_list<const QWidget *>{dialog.nameBox(), dialog.recipientField(),
                                                    dialog.senderField(), dialog.timeField()}) {
            bits += field->isHidden() ? '0' : '1';
        }
        for (const int button : {Dlg::kOk, Dlg::kReply, Dlg::kForward, Dlg::kSaveText}) {
            bits += dialog.button(button)->isEnabled() ? '1' : '0';
        }
        return bits;
    }
    static QString boxText(const Dlg &dialog) { return dialog.textBox()->toPlainText(); }

    RowList phonebook;
};

TEST_F(MessageEditorTest, NewReceivedAndRepliedMessagesHaveTheirLayouts) {
    const auto composed = openNew();
    EXPECT_EQ(layout(*composed), "111001011");
    ASSERT_EQ(composed->nameBox()->count(), 3);
    EXPECT_TRUE(composed->nameBox()->currentText().isEmpty());
    EXPECT_EQ(composed->nameBox()->lineEdit()->maxLength(), 20);

    const auto received = openReceived();
    EXPECT_EQ(layout(*received), "000110111");
    EXPECT_EQ(received->senderField()->text(), QStringLiteral("+4917612345678"));
    EXPECT_EQ(received->timeField()->text(), QStringLiteral("2024-03-14 18:02:11"));
    EXPECT_EQ(boxText(*received), QStringLiteral("Hi! Dinner at 8?"));
    received->accept();
    EXPECT_EQ(received->result(), QDialog::Rejected) << "OK has no effect in the view layout";
    received->button(Dlg::kReply)->click();
    EXPECT_EQ(layout(*received).substr(0, 6), "101001");
    EXPECT_EQ(received->recipientField()->text(), QStringLiteral("+4917612345678"));
}

TEST_F(MessageEditorTest, ChoosingANameFillsInItsNumber) {
    const auto dialog = openNew();
    dialog->nameBox()->setFocus();
    QTest::keyClick(dialog->nameBox(), Qt::Key_Down);
    QTest::keyClick(dialog->nameBox(), Qt::Key_Down);
    EXPECT_EQ(dialog->nameBox()->currentIndex(), 1);
    EXPECT_EQ(dialog->recipientField()->text(), QStringLiteral("0302222"));
}

TEST_F(MessageEditorTest, OnlyANumberCanBeTypedAsTheRecipient) {
    for (const json &v : loadVectors("ui/recipient-typing.json")) {
        SCOPED_TRACE(v.dump());
        const auto dialog = openNew();
        dialog->recipientField()->setText(QStringLiteral("555"));
        typeText(dialog->nameBox()->lineEdit(), QString::fromStdString(v.at("keys")));
        EXPECT_EQ(dialog->nameBox()->currentText().toStdString(), v.at("box"));
        EXPECT_EQ(dialog->recipientField()->text().toStdString(), v.at("number"));
    }
}

// box-typing.json: typing stops where one message is full, in the coding the text needs.
TEST_F(MessageEditorTest, TheBoxRefusesWhatOneMessageCannotHold) {
    for (const json &v : loadVectors("ui/box-typing.json")) {
        SCOPED_TRACE(v.dump());
        const auto dialog = openNew();
        typeText(dialog->textBox(), QString::fromStdString(textOf(v.at("keys"))));
        EXPECT_EQ(boxText(*dialog).toStdString(), textOf(v.value("box", v["keys"])));
        EXPECT_EQ(dialog->charactersLeft(), v.at("left"));
    }
}

// OK on a text to a recipient, on a GSM or CDMA card: accepted, or refused with an error box;
// and what the editor said was left of one message. How much a text uses in each coding is the
// codec's text usage vectors; here, the boundary on either side and the card's kind.
TEST_F(MessageEditorTest, WhatDoesNotFitIsRefusedAndTheDialogStaysOpen) {
    for (const json &v : loadVectors("ui/message-ok.json")) {
        SCOPED_TRACE(v.dump());
        card.isCdmaCard = v.value("cdma", false);
        prompts.asked.clear();
        const auto dialog = open({true, true, "", v.value("recipient", ""), "", textOf(v["text"])});
        dialog->button(Dlg::kOk)->click();
        const int error = v.at("error");
        const int left = v.at("left");
        EXPECT_EQ(dialog->result() == QDialog::Accepted, error == 0);
        EXPECT_EQ(prompts.ids(), error == 0 ? std::vector<int>{} : std::vector<int>{error});
        EXPECT_EQ(dialog->isVisible(), error != 0);
        EXPECT_EQ(dialog->charactersLeft(), left);
        EXPECT_EQ(dialog->charactersLeftLabel()->text(),
                  QStringLiteral("Characters left: %1").arg(left));
        EXPECT_EQ(dialog->charactersLeftLabel()->styleSheet().contains(QStringLiteral("color")),
                  left < 0);
    }
}

TEST_F(MessageEditorTest, SaveAsTextWritesTheLayoutOfTheMessageKind) {
    TempDir dir;
    const auto received = openReceived();
    prompts.files = {(dir / "in.txt").string()};
    received->button(Dlg::kSaveText)->click();
    EXPECT_EQ(readFile(dir / "in.txt"), "\r\n\r\nFrom: +4917612345678\r\nTime: 2024-03-14 "
                                        "18:02:11\r\nContent: Hi! Dinner at 8?\r\n");
    EXPECT_TRUE(received->isVisible()) << "the editor stays open";

    const auto composed = openNew();
    typeText(composed->nameBox()->lineEdit(), QStringLiteral("0301234567"));
    typeText(composed->textBox(), QStringLiteral("On my way"));
    prompts.files = {(dir / "out.txt").string()};
    composed->button(Dlg::kSaveText)->click();
    EXPECT_EQ(readFile(dir / "out.txt"), "\r\n\r\nTo: 0301234567\r\nContent: On my way\r\n");
}

} // namespace
} // namespace velnor::test
