#include "ui/CNumberEdit.h"

#include <QKeyEvent>

namespace velnor {

CNumberEdit::CNumberEdit(QWidget *parent) : QLineEdit(parent) {
    setMaxLength(kDefaultLimit);
    setInputMethodHints(Qt::ImhDialableCharactersOnly);
}

bool CNumberEdit::isDialChar(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('*') ||
           c == QLatin1Char('#');
}

bool CNumberEdit::acceptsTyped(QChar c, const QString &text, int at) {
    return isDialChar(c) || (c == QLatin1Char('+') && at == 0 && !text.contains(c));
}

void CNumberEdit::keyPressEvent(QKeyEvent *event) {
    const QString typed = event->text();
    // What stays of the text besides a selection the key replaces.
    QString rest = text();
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    if (hasSelectedText()) {
        rest.remove(selectionStart(), static_cast<int>(selectedText().length()));
    }
    // Control characters (backspace, the clipboard keys) and keys without a character pass.
    if (!typed.isEmpty() && typed.at(0).isPrint() && !acceptsTyped(typed.at(0), rest, at)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CNumberEdit::keyReleaseEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterReleased(kEnterNotification);
    }
    QLineEdit::keyReleaseEvent(event);
}

} // namespace velnor
