#include "ui/CMessageEditDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "files/TextExport.h"
#include "records/MessageCompose.h"
#include "records/MessageStore.h"
#include "records/MessageTextRules.h"
#include "records/PhoneEntryCheck.h"
#include "records/PhonebookFit.h"
#include "ui/CNumberEdit.h"
#include "ui/UiText.h"
#include "widgets/CIconButton.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

namespace {

constexpr int kButtonShade = 30;
// A GSM address holds at most 20 digits (GSM 03.40, 9.1.2.5).
constexpr int kRecipientDigits = 20;
constexpr const char *kTooLongCaption = "error";

QString controlName(const char *kind, int id) {
    return QStringLiteral("%1%2").arg(QLatin1String(kind)).arg(id);
}

QLabel *makeLabel(const QString &text, int id, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(controlName("label", id));
    return label;
}

} // namespace

CMessageEditDlg::CMessageEditDlg(const Texts &texts, UserPrompts &prompts, const CardState &card,
                                 const RowList &localPhonebook, MessageEditorFields fields,
                                 QWidget *parent)
    : QDialog(parent), texts_(texts), prompts_(prompts), card_(card),
      localPhonebook_(localPhonebook), fields_(std::move(fields)),
      recipientLabel_(makeLabel(captionOf(texts, kRecipientLabel), kRecipientLabel, this)),
      names_(new QComboBox(this)),
      numberLabel_(makeLabel(qText(texts, text::MessageNumberLabel), kNumberLabel, this)),
      recipient_(new CNumberEdit(this)),
      senderLabel_(makeLabel(captionOf(texts, kSenderLabel), kSenderLabel, this)),
      sender_(new QLineEdit(this)),
      timeLabel_(makeLabel(captionOf(texts, kTimeLabel), kTimeLabel, this)),
      time_(new QLineEdit(this)), text_(new QPlainTextEdit(this)), left_(new QLabel(this)) {
    setObjectName(QStringLiteral("CMessageEditDlg"));
    setWindowTitle(qText(texts, text::MessageEditorTitle));
    setWindowIcon(themeIcon({"mail-message-new", "mail-message"}, QStyle::SP_FileIcon));

    names_->setObjectName(controlName("combo", kNameBox));
    names_->setEditable(true);
    names_->setInsertPolicy(QComboBox::NoInsert);
    names_->setCompleter(nullptr);
    names_->lineEdit()->setMaxLength(kRecipientNameLimit);
    names_->lineEdit()->setPlaceholderText(qText(texts, text::RecipientNameHint));
    for (size_t row = 0; row < localPhonebook.rowCount(); ++row) {
        names_->addItem(QString::fromStdString(localPhonebook.cell(row, column::Name)));
    }
    names_->setCurrentIndex(-1);
    names_->clearEditText();
    recipient_->setObjectName(controlName("edit", kRecipient));
    recipient_->setMaxLength(kRecipientDigits);
    sender_->setObjectName(controlName("edit", kSender));
    time_->setObjectName(controlName("edit", kTime));
    for (QLineEdit *field : {sender_, time_}) {
        field->setReadOnly(true);
        // Shown as text to read, not as a field to fill in.
        QPalette shown = field->palette();
        shown.setColor(QPalette::Base, shown.color(QPalette::Window));
        field->setPalette(shown);
    }
    text_->setObjectName(controlName("edit", kTextBox));
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setTabChangesFocus(true);
    text_->setMinimumSize(420, 150);
    left_->setObjectName(QStringLiteral("charactersLeft"));
    left_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    recipient_->setText(QString::fromStdString(fields_.recipientNumber));
    sender_->setText(QString::fromStdString(fields_.senderNumber));
    time_->setText(QString::fromStdString(fields_.timeStamp));
    text_->setPlainText(QString::fromStdString(fields_.messageText));
    lastLength_ = static_cast<int>(text_->toPlainText().length());

    auto *grid = new QGridLayout;
    grid->addWidget(recipientLabel_, 0, 0, 1, 2);
    grid->addWidget(names_, 1, 0, 1, 2);
    grid->addWidget(numberLabel_, 2, 0);
    grid->addWidget(recipient_, 2, 1);
    grid->addWidget(senderLabel_, 3, 0);
    grid->addWidget(sender_, 3, 1);
    grid->addWidget(timeLabel_, 4, 0);
    grid->addWidget(time_, 4, 1);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(text_, 1);
    layout->addWidget(left_);
    layout->addLayout(buildButtonRow());

    if (fields_.messageEditable) {
        showCompose(true);
        reply_->setEnabled(false);
    } else {
        showView();
    }
    connect(names_, &QComboBox::activated, this, &CMessageEditDlg::onNameChosen);
    connect(names_->lineEdit(), &QLineEdit::textEdited, this, &CMessageEditDlg::onNameTyped);
    connect(text_, &QPlainTextEdit::textChanged, this, &CMessageEditDlg::onTextChanged);
    connect(recipient_, &QLineEdit::textChanged, this, &CMessageEditDlg::showCharactersLeft);
    showCharactersLeft();
}

QLayout *CMessageEditDlg::buildButtonRow() {
    reply_ = makeButton(kReply, themeIcon({"mail-reply-sender"}, QStyle::SP_ArrowBack),
                        captionOf(texts_, kReply));
    forward_ = makeButton(kForward, themeIcon({"mail-forward"}, QStyle::SP_ArrowForward),
                          captionOf(texts_, kForward));
    saveText_ = makeButton(kSaveText, themeIcon({"document-save-as"}, QStyle::SP_DialogSaveButton),
                           captionOf(texts_, kSaveText));
    ok_ = makeButton(kOk, themeIcon({"dialog-ok", "mail-send"}, QStyle::SP_DialogOkButton),
                     qText(texts_, text::Ok));
    cancel_ = makeButton(kCancel, themeIcon({"dialog-cancel"}, QStyle::SP_DialogCancelButton),
                         qText(texts_, text::Cancel));
    connect(reply_, &QAbstractButton::clicked, this, &CMessageEditDlg::reply);
    connect(forward_, &QAbstractButton::clicked, this, &CMessageEditDlg::forward);
    connect(saveText_, &QAbstractButton::clicked, this, &CMessageEditDlg::saveAsText);
    connect(ok_, &QAbstractButton::clicked, this, &CMessageEditDlg::accept);
    connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addWidget(reply_);
    row->addWidget(forward_);
    row->addWidget(saveText_);
    row->addStretch(1);
    row->addWidget(ok_);
    row->addWidget(cancel_);
    return row;
}

CIconButton *CMessageEditDlg::makeButton(int id, QIcon icon, const QString &caption) {
    auto *button = new CIconButton(this);
    button->setObjectName(controlName("button", id));
    button->setIcon(icon);
    button->setText(caption);
    button->setToolTip(caption);
    button->setColorOffset(kButtonShade);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}

QAbstractButton *CMessageEditDlg::button(int id) const {
    switch (id) {
    case kOk:
        return ok_;
    case kCancel:
        return cancel_;
    case kReply:
        return reply_;
    case kForward:
        return forward_;
    case kSaveText:
        return saveText_;
    default:
        return nullptr;
    }
}

bool CMessageEditDlg::composeLayout() const {
    return ok_->isEnabled();
}

void CMessageEditDlg::showCompose(bool withNames) {
    for (QWidget *widget : {static_cast<QWidget *>(senderLabel_), static_cast<QWidget *>(sender_),
                            static_cast<QWidget *>(timeLabel_), static_cast<QWidget *>(time_)}) {
        widget->hide();
    }
    for (QWidget *widget :
         {static_cast<QWidget *>(recipientLabel_), static_cast<QWidget *>(numberLabel_),
          static_cast<QWidget *>(recipient_)}) {
        widget->show();
    }
    names_->setVisible(withNames);
    left_->show();
    ok_->setEnabled(true);
}

void CMessageEditDlg::showView() {
    for (QWidget *widget :
         {static_cast<QWidget *>(recipientLabel_), static_cast<QWidget *>(names_),
          static_cast<QWidget *>(numberLabel_), static_cast<QWidget *>(recipient_)}) {
        widget->hide();
    }
    for (QWidget *widget : {static_cast<QWidget *>(senderLabel_), static_cast<QWidget *>(sender_),
                            static_cast<QWidget *>(timeLabel_), static_cast<QWidget *>(time_)}) {
        widget->show();
    }
    // The count helps while writing; a message that is only read needs none.
    left_->hide();
    ok_->setEnabled(false);
    reply_->setEnabled(true);
}

void CMessageEditDlg::exchangeToFields() {
    fields_.recipientNumber = recipient_->text().toStdString();
    fields_.senderNumber = sender_->text().toStdString();
    fields_.timeStamp = time_->text().toStdString();
    fields_.messageText = text_->toPlainText().toStdString();
}

void CMessageEditDlg::onNameChosen(int index) {
    if (index >= 0 && static_cast<size_t>(index) < localPhonebook_.rowCount()) {
        recipient_->setText(QString::fromStdString(
            localPhonebook_.cell(static_cast<size_t>(index), column::Number)));
    }
}

void CMessageEditDlg::onNameTyped(const QString &typed) {
    const RecipientTyping result = recipientTyped(typed.toStdString());
    if (result.cut) {
        names_->setEditText(QString::fromStdString(result.nameBox));
        names_->setFocus();
    }
    if (result.number) {
        recipient_->setText(QString::fromStdString(*result.number));
    }
}

void CMessageEditDlg::onTextChanged() {
    if (adjusting_) {
        return;
    }
    refuseOverflow();
    exchangeToFields();
    lastLength_ = static_cast<int>(text_->toPlainText().length());
    showCharactersLeft();
}

// The box takes nothing one message cannot hold: of what was just typed or pasted before the
// cursor, the part that does not fit is taken out again. A text that was already too long (a
// message opened as it was stored) keeps what it had.
void CMessageEditDlg::refuseOverflow() {
    const QString text = text_->toPlainText();
    const int added = static_cast<int>(text.length()) - lastLength_;
    if (added <= 0) {
        return;
    }
    QTextCursor cursor = text_->textCursor();
    const int end = std::max(cursor.position(), added);
    const QString inserted = text.mid(end - added, added);
    const int kept = static_cast<int>(
        QString::fromStdString(fittingInsertion(text.left(end - added).toStdString(),
                                                inserted.toStdString(), text.mid(end).toStdString(),
                                                recipient_->text().toStdString(), card_))
            .length());
    if (kept >= added) {
        return;
    }
    const int start = end - added + kept;
    adjusting_ = true;
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    text_->setTextCursor(cursor);
    adjusting_ = false;
}

int CMessageEditDlg::charactersLeft() const {
    return messageCharactersLeft(recipient_->text().toStdString(),
                                 text_->toPlainText().toStdString(), card_);
}

void CMessageEditDlg::showCharactersLeft() {
    const int left = charactersLeft();
    left_->setText(QString::fromStdString(texts_.format(text::CharactersLeft, {left})));
    left_->setStyleSheet(left < 0 ? QStringLiteral("QLabel { color: rgb(200, 0, 0); }")
                                  : QString());
}

void CMessageEditDlg::reply() {
    showCompose(false);
    recipient_->setText(QString::fromStdString(fields_.senderNumber));
    fields_.messageEditable = false;
    text_->setFocus();
}

void CMessageEditDlg::forward() {
    showCompose(true);
    recipient_->clear();
    fields_.messageEditable = false;
    names_->setFocus();
}

void CMessageEditDlg::saveAsText() {
    saveMessageText(prompts_, texts_,
                    {fields_.messageIsOutgoing, fields_.senderNumber, fields_.recipientNumber,
                     fields_.timeStamp, fields_.messageText});
}

void CMessageEditDlg::accept() {
    if (!composeLayout()) {
        return;
    }
    exchangeToFields();
    if (messageTextTooLong(fields_.recipientNumber, fields_.messageText, card_)) {
        prompts_.showMessage(MessageKind::Error, {text::MessageTextTooLong, kTooLongCaption,
                                                  texts_.get(text::MessageTextTooLong)});
        return;
    }
    if (!numberFitsCard(fields_.recipientNumber)) {
        prompts_.showMessage(MessageKind::Error, {text::MisplacedPlus, kTooLongCaption,
                                                  texts_.get(text::MisplacedPlus)});
        return;
    }
    QDialog::accept();
}

} // namespace velnor
