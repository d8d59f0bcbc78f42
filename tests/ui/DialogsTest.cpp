#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/PackTexts.h"
#include "app/StartUp.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "ui/CNumberEdit.h"
#include "ui/CPhoneEntryDlg.h"
#include "ui/ChvDialogs.h"
#include "ui/QtPrompts.h"
#include "ui/WindowWait.h"

namespace velnor {
namespace {

TEST(NumberEditTest, TypingLetsOnlyDialCharactersAndALeadingPlusThroughUpToTheLimit) {
    CNumberEdit field;
    QTest::keyClicks(&field, "+12+a*#b9");
    EXPECT_EQ(field.text(), "+12*#9");
    QTest::keyClicks(&field, "3456");
    EXPECT_EQ(field.text(), "+12*#934") << "the ninth character is refused";
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Home);
    QTest::keyClicks(&field, "+");
    EXPECT_EQ(field.text(), "+12*#93") << "one \"+\" only";
    field.setSelection(0, 1);
    QTest::keyClicks(&field, "+");
    EXPECT_EQ(field.text(), "+12*#93") << "a \"+\" may replace the one it selects";
    field.clear();
    field.insert("+49 abc");
    EXPECT_EQ(field.text(), "+49 abc") << "pasted text is not filtered";
}

TEST(NumberEditTest, ReleasingEnterReportsIt) {
    CNumberEdit field;
    int notification = 0;
    QObject::connect(&field, &CNumberEdit::enterReleased, [&](int code) { notification = code; });
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(notification, 0x0D04);
}

class PhoneEntryDlgTest : public ::testing::Test {
protected:
    PhoneEntryDlgTest() { card.alphaLength = 16; }
    test::EnglishTexts texts;
    test::ScriptedPrompts prompts;
    CardState card;
};

TEST_F(PhoneEntryDlgTest, ALeadingPlusTicksTheBoxAndComesBackOnOk) {
    CPhoneEntryDlg dialog(texts, prompts, card, {"Anna", "+4930123"});
    EXPECT_EQ(dialog.numberField()->text(), "4930123");
    EXPECT_TRUE(dialog.internationalBox()->isChecked());
    EXPECT_EQ(dialog.nameField()->maxLength(), 16);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.entry(), (PhoneEntry{"Anna", "+4930123"}));
}

TEST_F(PhoneEntryDlgTest, OkKeepsTheDialogOpenForANameOrNumberTheCardCannotHold) {
    CPhoneEntryDlg dialog(texts, prompts, card, {"", ""});
    dialog.show();
    dialog.nameField()->setText(QString::fromUtf8("张伟张伟张伟张伟张伟")); // 20 bytes in UCS2
    dialog.numberField()->setText("12345678901234567890");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    dialog.nameField()->setText("Anna");
    dialog.internationalBox()->setChecked(true);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()) << "20 digits and a plus are 21 characters";
    dialog.internationalBox()->setChecked(false);
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8081, 8071}));
    EXPECT_EQ(dialog.entry().number, "12345678901234567890");
}

class ChvDialogTest : public ::testing::Test {
protected:
    test::EnglishTexts texts;
};

TEST_F(ChvDialogTest, EachDialogAnswersItsCodesInFieldOrder) {
    struct Case {
        CodeDialog dialog;
        size_t fields;
        int maxLength;
    };
    for (const Case c : {Case{CodeDialog::Verify, 1, 8}, Case{CodeDialog::Switch, 1, 8},
                         Case{CodeDialog::Change, 3, 8}, Case{CodeDialog::Unblock, 3, 32767}}) {
        auto dialog = makeChvDialog(texts, {c.dialog, 2}, nullptr);
        ASSERT_EQ(dialog->codeFields().size(), c.fields);
        std::vector<std::string> typed;
        for (size_t i = 0; i < c.fields; ++i) {
            QLineEdit *field = dialog->codeFields()[i];
            EXPECT_EQ(field->maxLength(), c.maxLength);
            EXPECT_EQ(field->echoMode(), QLineEdit::Password);
            typed.push_back("12" + std::to_string(i));
            QTest::keyClicks(field, QString::fromStdString(typed.back()));
        }
        EXPECT_EQ(dialog->answer().codes, typed);
    }
}

TEST_F(ChvDialogTest, TheAttemptsLeftAreShownWhenKnown) {
    auto known = makeChvDialog(texts, {CodeDialog::Verify, 1}, nullptr);
    EXPECT_EQ(known->attemptsLabel()->text().toStdString(), texts.format(9120, {1}));
    EXPECT_FALSE(known->attemptsLabel()->isHidden());
    auto puk = makeChvDialog(texts, {CodeDialog::Unblock, 10}, nullptr);
    EXPECT_EQ(puk->attemptsLabel()->text().toStdString(), texts.format(9121, {10}));
    auto unknown = makeChvDialog(texts, {CodeDialog::Change, -1}, nullptr);
    EXPECT_TRUE(unknown->attemptsLabel()->isHidden());
}

TEST_F(ChvDialogTest, TheSwitchDialogOpensOnSwitchOff) {
    CChvSwitchDlg dialog(texts, 3);
    EXPECT_TRUE(dialog.switchOffButton()->isChecked());
    EXPECT_TRUE(dialog.answer().switchOff);
    dialog.switchOnButton()->setChecked(true);
    EXPECT_FALSE(dialog.answer().switchOff);
}

TEST_F(ChvDialogTest, QtPromptsShowsTheDialogAndReturnsWhatWasTyped) {
    QtPrompts prompts(texts);
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<CChvDialogBase *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->codeFields()[0], "4711");
        dialog->findChild<QPushButton *>("ok")->click();
    });
    const std::optional<CodeAnswer> answer = prompts.askCodes({CodeDialog::Verify, 3});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->codes, (std::vector<std::string>{"4711"}));

    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<CChvDialogBase *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton *>("cancel")->click();
    });
    EXPECT_FALSE(prompts.askCodes({CodeDialog::Change, 3}));
}

// With a pack the buttons carry its captions; before any pack (the configuration error) Qt's.
TEST(QtPromptsTest, MessagesHaveALabelledOkButtonWithOrWithoutAPack) {
    const test::EnglishTexts english;
    const PackTexts noPack;
    for (const Texts *texts : std::initializer_list<const Texts *>{&english, &noPack}) {
        QtPrompts prompts(*texts);
        QStringList labels;
        QTimer::singleShot(0, [&labels] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (const QAbstractButton *button : box->buttons()) {
                labels << button->text().remove(QLatin1Char('&'));
            }
            box->buttons().front()->click();
        });
        prompts.showMessage(MessageKind::Warning, {0, kConfigurationErrorCaption, "Can not load"});
        EXPECT_EQ(labels, QStringList{QStringLiteral("OK")});
    }
}

TEST(QtPromptsTest, FileFiltersMatchBothCases) {
    const FileChoice choice{
        "fpb", "*.fpb", {{"Saved Phone Files (*.fpb)", "*.fpb"}, {"CSV Files(*.csv)", "*.CSV"}}};
    EXPECT_EQ(QtPrompts::nameFilters(choice),
              "Saved Phone Files (*.fpb *.FPB);;CSV Files (*.csv *.CSV)");
}

TEST(WindowGeometryTest, TheWindowScalesWithTheScreen) {
    EXPECT_EQ(scaleToScreen(QRect(0, 0, 600, 400), QSize(1280, 1024)), QRect(0, 0, 750, 533));
    EXPECT_EQ(scaleToScreen(QRect(10, 20, 600, 400), QSize(1024, 768)), QRect(10, 20, 600, 400));
}

} // namespace
} // namespace velnor
