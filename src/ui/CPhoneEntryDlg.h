#pragma once

#include <QDialog>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "card/EfAdn.h"
#include "records/CardState.h"

class QCheckBox;
class QLineEdit;

namespace velnor {

class CNumberEdit;

// Adds or changes one phonebook entry: a name that must fit the card, a number of at most 20
// characters and a box that stands for a leading "+", then the e-mail, additional number and
// second name a USIM keeps. OK keeps the dialog open after telling the user what is wrong.
class CPhoneEntryDlg : public QDialog {
    Q_OBJECT

public:
    CPhoneEntryDlg(const Texts &texts, UserPrompts &prompts, const CardState &card,
                   const PhoneEntry &entry, QWidget *parent = nullptr);

    // The entry after OK: the number with "+" in front when the box is ticked.
    const PhoneEntry &entry() const { return entry_; }

    QLineEdit *nameField() const { return name_; }
    CNumberEdit *numberField() const { return number_; }
    QCheckBox *internationalBox() const { return international_; }
    QLineEdit *emailField() const { return email_; }
    CNumberEdit *additionalNumberField() const { return additionalNumber_; }
    QLineEdit *secondNameField() const { return secondName_; }

public slots:
    void accept() override;

private:
    const Texts &texts_;
    UserPrompts &prompts_;
    const CardState &card_;
    PhoneEntry entry_;
    QLineEdit *name_;
    CNumberEdit *number_;
    QCheckBox *international_;
    QLineEdit *email_;
    CNumberEdit *additionalNumber_;
    QLineEdit *secondName_;
};

} // namespace velnor
