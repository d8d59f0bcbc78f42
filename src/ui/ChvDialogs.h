#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "base/Texts.h"
#include "base/UserPrompts.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QFormLayout;

namespace velnor {

// What the four PIN dialogs share: code fields in the order the card operation takes them, a
// line telling how many attempts the card has left, OK and Cancel. The card operation runs in
// the caller after OK; a refusal brings the dialog back for another try.
class CChvDialogBase : public QDialog {
    Q_OBJECT

public:
    CodeAnswer answer() const;
    const std::vector<QLineEdit *> &codeFields() const { return fields_; }
    QLabel *attemptsLabel() const { return attempts_; }

protected:
    CChvDialogBase(const Texts &texts, int titleId, QWidget *parent);
    // A field for a code; maxLength 0 leaves it unlimited.
    QLineEdit *addCodeField(int controlId, int labelId, int maxLength);
    // Closes the form; attemptsId formats the number of attempts left (hidden when unknown).
    void finish(int attemptsId, int attemptsLeft);
    virtual bool switchOff() const { return false; }

    const Texts &texts_;
    QFormLayout *form_;

private:
    std::vector<QLineEdit *> fields_;
    QLabel *attempts_ = nullptr;
};

// Presents the PIN when the card asks for it.
class CVerifyChvDlg : public CChvDialogBase {
    Q_OBJECT
public:
    CVerifyChvDlg(const Texts &texts, int attemptsLeft, QWidget *parent = nullptr);
};

// Switches the PIN on or off; opens with "switch off" chosen.
class CChvSwitchDlg : public CChvDialogBase {
    Q_OBJECT
public:
    CChvSwitchDlg(const Texts &texts, int attemptsLeft, QWidget *parent = nullptr);
    QRadioButton *switchOnButton() const { return on_; }
    QRadioButton *switchOffButton() const { return off_; }

protected:
    bool switchOff() const override;

private:
    QRadioButton *on_;
    QRadioButton *off_;
};

// Old PIN, new PIN, new PIN again.
class CChangeChvDlg : public CChvDialogBase {
    Q_OBJECT
public:
    CChangeChvDlg(const Texts &texts, int attemptsLeft, QWidget *parent = nullptr);
};

// Unblock code (PUK), new PIN, new PIN again; no length limits.
class CUnblockChvDlg : public CChvDialogBase {
    Q_OBJECT
public:
    CUnblockChvDlg(const Texts &texts, int attemptsLeft, QWidget *parent = nullptr);
};

std::unique_ptr<CChvDialogBase> makeChvDialog(const Texts &texts, const CodeRequest &request,
                                              QWidget *parent);

} // namespace velnor
