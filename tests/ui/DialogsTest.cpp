#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "UiTest.h"
#include "app/PackTexts.h"
#include "app/StartUp.h"
#include "support/TestVectors.h"
#include "ui/CNumberEdit.h"
#include "ui/CPhoneEntryDlg.h"
#include "ui/CWorkProgressWnd.h"
#include "ui/ChvDialogs.h"
#include "ui/QtPrompts.h"
#include "ui/WindowWait.h"

namespace velnor::test {
namespace {

using PhoneEntryDlgTest = DialogFixture;
using ChvDialogTest = DialogFixture;
using QtPromptsTest = DialogFixture;

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

    int notification = 0;
    QObject::connect(&field, &CNumberEdit::enterReleased, [&](int code) { notification = code; });
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(notification, 0x0D04) << "releasing Enter is reported";
}

TEST_F(PhoneEntryDlgTest, ALeadingPlusTicksTheBoxAndOkWaitsForWhatTheCardCanHold) {
    card.alphaLength = 16;
    CPhoneEntryDlg dialog(texts, prompts, card, {"Anna", "+4930123", "a@b.org", "+1", "Jo"});
    EXPECT_EQ(dialog.numberField()->text(), "4930123");
    EXPECT_EQ(dialog.additionalNumberField()->text(), "+1");
    EXPECT_EQ(dialog.secondNameField()->maxLength(), 16);
    EXPECT_TRUE(dialog.internationalBox()->isChecked());
    EXPECT_EQ(dialog.nameField()->maxLength(), 16);
    dialog.show();
    dialog.nameField()->setText(QString::fromUtf8("张伟张伟张伟张伟张伟")); // 20 bytes in UCS2
    dialog.numberField()->setText("12345678901234567890");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    dialog.nameField()->setText("Anna");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()) << "20 digits and a plus are 21 characters";
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8081, 8071}));
    dialog.numberField()->setText("4930123");
    dialog.additionalNumberField()->setText("1+2");
    dialog.accept();
    dialog.additionalNumberField()->setText("+12");
    dialog.secondNameField()->setText("Fifteen chars{}"); // 17 septets
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8081, 8071, 9156, 9157}));
    dialog.secondNameField()->setText("Jo");
    dialog.emailField()->setText("anna@example.org");
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.entry(), (PhoneEntry{"Anna", "+4930123", "anna@example.org", "+12", "Jo"}));
}

// code-dialogs.json: each PIN dialog answers its codes in field order and shows the attempts left.
TEST_F(ChvDialogTest, EachDialogAnswersItsCodesInFieldOrderAndShowsTheAttemptsLeft) {
    for (const json &v : loadVectors("ui/code-dialogs.json")) {
        SCOPED_TRACE(v.dump());
        const auto kind = static_cast<CodeDialog>(v.at("dialog").get<int>());
        const int attempts = v.at("attempts");
        const int attemptsText = v.value("attemptsText", 0);
        auto dialog = makeChvDialog(texts, {kind, attempts}, nullptr);
        ASSERT_EQ(dialog->codeFields().size(), v.at("fields").get<size_t>());
        std::vector<std::string> typed;
        for (QLineEdit *field : dialog->codeFields()) {
            EXPECT_EQ(field->maxLength(), v.at("maxLength"));
            EXPECT_EQ(field->echoMode(), QLineEdit::Password);
            typed.push_back("12" + std::to_string(typed.size()));
            QTest::keyClicks(field, QString::fromStdString(typed.back()));
        }
        EXPECT_EQ(dialog->answer().codes, typed);
        auto *toggle = dynamic_cast<CChvSwitchDlg *>(dialog.get());
        ASSERT_EQ(toggle != nullptr, kind == CodeDialog::Switch);
        if (toggle != nullptr) {
            EXPECT_TRUE(dialog->answer().switchOff) << "the switch dialog opens on switch off";
            toggle->switchOnButton()->setChecked(true);
            EXPECT_FALSE(dialog->answer().switchOff);
        }
        EXPECT_EQ(dialog->attemptsLabel()->isHidden(), attemptsText == 0);
        if (attemptsText != 0) {
            EXPECT_EQ(dialog->attemptsLabel()->text().toStdString(),
                      texts.format(attemptsText, {attempts}));
        }
    }
}

// The code dialog shown answers with what was typed on OK, and nothing on cancel.
TEST_F(QtPromptsTest, ShowsTheCodeDialogAndReturnsWhatWasTyped) {
    QtPrompts qtPrompts(texts);
    for (const char *button : {"ok", "cancel"}) {
        QTimer::singleShot(0, [button] {
            auto *dialog = qobject_cast<CChvDialogBase *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QTest::keyClicks(dialog->codeFields()[0], "4711");
            dialog->findChild<QPushButton *>(button)->click();
        });
        const std::optional<CodeAnswer> answer = qtPrompts.askCodes({CodeDialog::Verify, 3});
        EXPECT_EQ(answer ? answer->codes : std::vector<std::string>{"none"},
                  std::vector<std::string>{button == std::string("ok") ? "4711" : "none"});
    }
}

// With a pack the buttons carry its captions; before any pack (the configuration error) Qt's.
TEST_F(QtPromptsTest, MessagesHaveALabelledOkButtonWithOrWithoutAPack) {
    const PackTexts noPack;
    for (const Texts *pack : std::initializer_list<const Texts *>{&texts, &noPack}) {
        QtPrompts qtPrompts(*pack);
        QStringList labels;
        QTimer::singleShot(0, [&labels] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (const QAbstractButton *button : box->buttons()) {
                labels << button->text().remove(QLatin1Char('&'));
            }
            box->buttons().front()->click();
        });
        qtPrompts.showMessage(MessageKind::Warning,
                              {0, kConfigurationErrorCaption, "Can not load"});
        EXPECT_EQ(labels, QStringList{QStringLiteral("OK")});
    }
}

TEST(QtPromptsFilters, FileFiltersMatchBothCases) {
    const FileChoice choice{
        "fpb", "*.fpb", {{"Saved Phone Files (*.fpb)", "*.fpb"}, {"CSV Files(*.csv)", "*.CSV"}}};
    EXPECT_EQ(QtPrompts::nameFilters(choice),
              "Saved Phone Files (*.fpb *.FPB);;CSV Files (*.csv *.CSV)");
}

TEST(WindowGeometryTest, TheWindowScalesWithTheScreen) {
    EXPECT_EQ(scaleToScreen(QRect(0, 0, 600, 400), QSize(1280, 1024)), QRect(0, 0, 750, 533));
    EXPECT_EQ(scaleToScreen(QRect(10, 20, 600, 400), QSize(1024, 768)), QRect(10, 20, 600, 400));
}

class ProgressWindowTest : public DialogFixture {
protected:
    QMainWindow owner;
    CWorkProgressWnd progress{&owner, texts};
};

TEST_F(ProgressWindowTest, ItHoldsItsOwnerAndShowsThePercentageOnceOneIsReached) {
    EXPECT_EQ(progress.setPos(4), 4) << "steps before the window exists still count";
    EXPECT_EQ(progress.window(), nullptr);
    owner.show();
    progress.begin("Writing", "", 0, 0);
    progress.step();
    EXPECT_EQ(progress.window()->windowTitle(), "Writing") << "an empty range stays at 0%";
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.window()->isEnabled()) << "the window itself takes input";
    // What a cancel does to a read is the main window's to test; here, that it lasts.
    QTest::mouseClick(progress.cancelButton(), Qt::LeftButton);
    progress.close();
    progress.close();
    EXPECT_TRUE(owner.isEnabled()) << "closing twice is harmless";

    progress.begin("Reading", "text", 0, 250);
    EXPECT_FALSE(progress.cancelled()) << "a cancel lasts until the next begin";
    EXPECT_TRUE(progress.window()->isVisible());
    progress.step();
    progress.step();
    EXPECT_EQ(progress.window()->windowTitle(), "Reading") << "positions 1 and 2 are 0%";
    progress.step();
    EXPECT_EQ(progress.window()->windowTitle(), "Reading [1%]");
    progress.setPos(5);
    EXPECT_EQ(progress.window()->windowTitle(), "Reading [2%]");
    EXPECT_EQ(progress.bar()->value(), 5);
    progress.setPos(250);
    EXPECT_EQ(progress.window()->windowTitle(), "Reading [100%]");
}

} // namespace
} // namespace velnor::test
