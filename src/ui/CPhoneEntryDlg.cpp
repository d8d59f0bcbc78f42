#include "ui/CPhoneEntryDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "records/PhoneEntryCheck.h"
#include "records/PhonebookFit.h"
#include "ui/CNumberEdit.h"
#include "ui/UiText.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

CPhoneEntryDlg::CPhoneEntryDlg(const Texts &texts, UserPrompts &prompts, const CardState &card,
                               const PhoneEntry &entry, QWidget *parent)
    : QDialog(parent), texts_(texts), prompts_(prompts), card_(card), entry_(entry),
      name_(new QLineEdit(this)), number_(new CNumberEdit(this)),
      international_(new QCheckBox(captionOf(texts, 1030), this)), email_(new QLineEdit(this)),
      additionalNumber_(new CNumberEdit(this)), secondName_(new QLineEdit(this)) {
    setWindowTitle(qText(texts, text::PhonebookEntryTitle));
    setWindowIcon(themeIcon({"contact-new", "x-office-address-book"}, QStyle::SP_FileIcon));
    name_->setObjectName(QStringLiteral("name1027"));
    number_->setObjectName(QStringLiteral("number1029"));
    international_->setObjectName(QStringLiteral("international1030"));
    email_->setObjectName(QStringLiteral("email"));
    additionalNumber_->setObjectName(QStringLiteral("additionalNumber"));
    secondName_->setObjectName(QStringLiteral("secondName"));

    const size_t nameLimit = nameFieldLimit(card.alphaLength);
    if (nameLimit > 0) {
        name_->setMaxLength(static_cast<int>(nameLimit));
        secondName_->setMaxLength(static_cast<int>(nameLimit));
    }
    // The dialog accepts 20 characters, so the field lets that many be typed; the additional
    // number has no box, so its "+" is one more.
    number_->setMaxLength(static_cast<int>(kMaxNumberDigits));
    additionalNumber_->setMaxLength(static_cast<int>(kMaxNumberDigits) + 1);
    const int fieldWidth = name_->fontMetrics().averageCharWidth() * 30;
    for (QLineEdit *field : {name_, static_cast<QLineEdit *>(number_), email_,
                             static_cast<QLineEdit *>(additionalNumber_), secondName_}) {
        field->setMinimumWidth(fieldWidth);
    }

    const PhoneEntryFields fields = openPhoneEntry(entry.name, entry.number);
    name_->setText(QString::fromStdString(fields.name));
    number_->setText(QString::fromStdString(fields.number));
    international_->setChecked(fields.international);
    email_->setText(QString::fromStdString(entry.email));
    additionalNumber_->setText(QString::fromStdString(entry.additionalNumber));
    secondName_->setText(QString::fromStdString(entry.secondName));

    auto *form = new QFormLayout;
    form->addRow(qText(texts, text::NameLabel), name_);
    form->addRow(qText(texts, text::EntryNumberLabel), number_);
    form->addRow(QString(), international_);
    form->addRow(qText(texts, text::EmailLabel), email_);
    form->addRow(qText(texts, text::AdditionalNumberLabel), additionalNumber_);
    form->addRow(qText(texts, text::SecondNameLabel), secondName_);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(qText(texts, text::Ok), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("ok"));
    buttons->addButton(qText(texts, text::Cancel), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPhoneEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    name_->setFocus();
}

void CPhoneEntryDlg::accept() {
    const PhoneEntryFields fields{name_->text().toStdString(),
                                  number_->text().toStdString(),
                                  international_->isChecked(),
                                  email_->text().toStdString(),
                                  additionalNumber_->text().toStdString(),
                                  secondName_->text().toStdString()};
    const PhoneEntryVerdict verdict = acceptPhoneEntry(fields, card_);
    if (verdict.errorId != 0) {
        prompts_.showMessage(
            MessageKind::Error,
            {verdict.errorId, texts_.get(text::PhonebookCaption), texts_.get(verdict.errorId)});
        return;
    }
    entry_ = {verdict.name, verdict.number, fields.email, verdict.additionalNumber,
              fields.secondName};
    QDialog::accept();
}

} // namespace velnor
