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
      international_(new QCheckBox(captionOf(texts, 1030), this)) {
    setWindowTitle(qText(texts, text::PhonebookEntryTitle));
    setWindowIcon(themeIcon({"contact-new", "x-office-address-book"}, QStyle::SP_FileIcon));
    name_->setObjectName(QStringLiteral("name1027"));
    number_->setObjectName(QStringLiteral("number1029"));
    international_->setObjectName(QStringLiteral("international1030"));

    const size_t nameLimit = nameFieldLimit(card.alphaLength);
    if (nameLimit > 0) {
        name_->setMaxLength(static_cast<int>(nameLimit));
    }
    // The dialog accepts 20 characters, so the field lets that many be typed.
    number_->setMaxLength(static_cast<int>(kMaxNumberDigits));
    const int fieldWidth = name_->fontMetrics().averageCharWidth() * 30;
    name_->setMinimumWidth(fieldWidth);
    number_->setMinimumWidth(fieldWidth);

    const PhoneEntryFields fields = openPhoneEntry(entry.name, entry.number);
    name_->setText(QString::fromStdString(fields.name));
    number_->setText(QString::fromStdString(fields.number));
    international_->setChecked(fields.international);

    auto *form = new QFormLayout;
    form->addRow(qText(texts, text::NameLabel), name_);
    form->addRow(qText(texts, text::EntryNumberLabel), number_);
    form->addRow(QString(), international_);
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
    const PhoneEntryFields fields{name_->text().toStdString(), number_->text().toStdString(),
                                  international_->isChecked()};
    const PhoneEntryVerdict verdict = acceptPhoneEntry(fields, card_);
    if (verdict.errorId != 0) {
        prompts_.showMessage(
            MessageKind::Error,
            {verdict.errorId, texts_.get(text::PhonebookCaption), texts_.get(verdict.errorId)});
        return;
    }
    entry_ = {verdict.name, verdict.number};
    QDialog::accept();
}

} // namespace velnor
