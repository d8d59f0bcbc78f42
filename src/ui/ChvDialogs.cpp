#include "ui/ChvDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "ui/UiText.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

namespace {
constexpr int kCodeLimit = 8;
}

CChvDialogBase::CChvDialogBase(const Texts &texts, int titleId, QWidget *parent)
    : QDialog(parent), texts_(texts), form_(new QFormLayout) {
    setWindowTitle(qText(texts, titleId));
    setWindowIcon(themeIcon({"dialog-password", "lock"}, QStyle::SP_MessageBoxQuestion));
    setModal(true);
}

QLineEdit *CChvDialogBase::addCodeField(int controlId, int labelId, int maxLength) {
    auto *field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("code%1").arg(controlId));
    field->setEchoMode(QLineEdit::Password);
    if (maxLength > 0) {
        field->setMaxLength(maxLength);
    }
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 18);
    form_->addRow(qText(texts_, labelId), field);
    fields_.push_back(field);
    return field;
}

void CChvDialogBase::finish(int attemptsId, int attemptsLeft) {
    attempts_ = new QLabel(this);
    attempts_->setObjectName(QStringLiteral("attemptsLeft"));
    if (attemptsLeft >= 0) {
        attempts_->setText(QString::fromStdString(texts_.format(attemptsId, {attemptsLeft})));
    }
    attempts_->setVisible(attemptsLeft >= 0);
    if (attemptsLeft == 1) {
        // The last attempt: a wrong code now blocks the card.
        attempts_->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    }
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(qText(texts_, text::Ok), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("ok"));
    buttons->addButton(qText(texts_, text::Cancel), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addWidget(attempts_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!fields_.empty()) {
        fields_.front()->setFocus();
    }
}

CodeAnswer CChvDialogBase::answer() const {
    CodeAnswer result;
    for (const QLineEdit *field : fields_) {
        result.codes.push_back(field->text().toStdString());
    }
    result.switchOff = switchOff();
    return result;
}

CVerifyChvDlg::CVerifyChvDlg(const Texts &texts, int attemptsLeft, QWidget *parent)
    : CChvDialogBase(texts, text::EnterPinTitle, parent) {
    auto *explanation = new QLabel(qText(texts, text::PinNeededToRead), this);
    explanation->setWordWrap(true);
    explanation->setMinimumWidth(explanation->fontMetrics().averageCharWidth() * 40);
    form_->addRow(explanation);
    addCodeField(1025, text::PinLabel, kCodeLimit);
    finish(text::AttemptsLeft, attemptsLeft);
}

CChvSwitchDlg::CChvSwitchDlg(const Texts &texts, int attemptsLeft, QWidget *parent)
    : CChvDialogBase(texts, text::SwitchPinTitle, parent),
      on_(new QRadioButton(captionOf(texts, 1016), this)),
      off_(new QRadioButton(captionOf(texts, 1017), this)) {
    on_->setObjectName(QStringLiteral("switchOn"));
    off_->setObjectName(QStringLiteral("switchOff"));
    form_->addRow(on_);
    form_->addRow(off_);
    off_->setChecked(true);
    addCodeField(1015, text::PinLabel, kCodeLimit);
    finish(text::AttemptsLeft, attemptsLeft);
}

bool CChvSwitchDlg::switchOff() const {
    return off_->isChecked();
}

CChangeChvDlg::CChangeChvDlg(const Texts &texts, int attemptsLeft, QWidget *parent)
    : CChvDialogBase(texts, text::ChangePinTitle, parent) {
    addCodeField(1018, text::CurrentPinLabel, kCodeLimit);
    addCodeField(1019, text::NewPinLabel, kCodeLimit);
    addCodeField(1020, text::NewPinAgainLabel, kCodeLimit);
    finish(text::AttemptsLeft, attemptsLeft);
}

CUnblockChvDlg::CUnblockChvDlg(const Texts &texts, int attemptsLeft, QWidget *parent)
    : CChvDialogBase(texts, text::UnblockPinTitle, parent) {
    addCodeField(1044, text::PukLabel, 0);
    addCodeField(1046, text::NewPinLabel, 0);
    addCodeField(1047, text::NewPinAgainLabel, 0);
    finish(text::PukAttemptsLeft, attemptsLeft);
}

std::unique_ptr<CChvDialogBase> makeChvDialog(const Texts &texts, const CodeRequest &request,
                                              QWidget *parent) {
    switch (request.dialog) {
    case CodeDialog::Verify:
        return std::make_unique<CVerifyChvDlg>(texts, request.attemptsLeft, parent);
    case CodeDialog::Switch:
        return std::make_unique<CChvSwitchDlg>(texts, request.attemptsLeft, parent);
    case CodeDialog::Change:
        return std::make_unique<CChangeChvDlg>(texts, request.attemptsLeft, parent);
    case CodeDialog::Unblock:
        break;
    }
    return std::make_unique<CUnblockChvDlg>(texts, request.attemptsLeft, parent);
}

} // namespace velnor
