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

void CNumberEdit::keyPressEvent(QKeyEvent *event) {
    const QString text = event->text();
    // Control characters (backspace, the clipboard keys) and keys without a character pass.
    if (!text.isEmpty() && text.at(0).isPrint() && !isDialChar(text.at(0))) {
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
