#pragma once

#include <QDialog>
#include <string>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "records/CardState.h"
#include "records/RowList.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace velnor {

class CIconButton;
class CNumberEdit;

// The editor's bound texts and the two flags it shares with whoever opens it.
struct MessageEditorFields {
    // Opens in the compose layout; on OK the opened message is replaced rather than kept.
    // Reply and forward clear it.
    bool messageEditable = false;
    // A sent or not yet sent message, or a new one: its text export is addressed "To:".
    bool messageIsOutgoing = false;
    std::string senderNumber;
    std::string recipientNumber;
    std::string timeStamp;
    std::string messageText;
};

// Views a stored message, or writes a new one, a reply or a forward. The compose layout picks
// the recipient from the local phonebook or takes a typed number; the view layout shows sender
// and time. The text box refuses what one short message cannot hold while typing, OK checks the
// text and the number, and a count below the box tells how much room is left.
class CMessageEditDlg : public QDialog {
    Q_OBJECT

public:
    enum Control {
        kOk = 1,
        kCancel = 2,
        kNumberLabel = 1708,
        kReply = 2201,
        kForward = 2202,
        kSaveText = 2203,
        kRecipientLabel = 2204,
        kNameBox = 2206,
        kTextBox = 2207,
        kSenderLabel = 2208,
        kSender = 2209,
        kTimeLabel = 2210,
        kTime = 2211,
        kRecipient = 2212
    };

    CMessageEditDlg(const Texts &texts, UserPrompts &prompts, const CardState &card,
                    const RowList &localPhonebook, MessageEditorFields fields,
                    QWidget *parent = nullptr);

    // The bound texts as of their last exchange with the controls, and the two flags.
    const MessageEditorFields &fields() const { return fields_; }
    bool composeLayout() const;
    int charactersLeft() const;

    QComboBox *nameBox() const { return names_; }
    CNumberEdit *recipientField() const { return recipient_; }
    QLineEdit *senderField() const { return sender_; }
    QLineEdit *timeField() const { return time_; }
    QPlainTextEdit *textBox() const { return text_; }
    QLabel *charactersLeftLabel() const { return left_; }
    QAbstractButton *button(int id) const;

public slots:
    void reply();
    void forward();
    void saveAsText();
    void accept() override;

private:
    QLayout *buildButtonRow();
    CIconButton *makeButton(int id, QIcon icon, const QString &caption);
    void showCompose(bool withNames);
    void showView();
    void exchangeToFields();
    void onNameChosen(int index);
    void onNameTyped(const QString &typed);
    void onTextChanged();
    void refuseOverflow();
    void showCharactersLeft();

    const Texts &texts_;
    UserPrompts &prompts_;
    const CardState &card_;
    const RowList &localPhonebook_;
    MessageEditorFields fields_;
    int lastLength_ = 0;
    bool adjusting_ = false;

    QLabel *recipientLabel_;
    QComboBox *names_;
    QLabel *numberLabel_;
    CNumberEdit *recipient_;
    QLabel *senderLabel_;
    QLineEdit *sender_;
    QLabel *timeLabel_;
    QLineEdit *time_;
    QPlainTextEdit *text_;
    QLabel *left_;
    CIconButton *ok_ = nullptr;
    CIconButton *reply_ = nullptr;
    CIconButton *forward_ = nullptr;
    CIconButton *saveText_ = nullptr;
    CIconButton *cancel_ = nullptr;
};

} // namespace velnor
