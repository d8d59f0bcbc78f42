#pragma once

#include <QLineEdit>

namespace velnor {

// The number field: typing lets through only what a card stores in a dialling number, the
// digits, "*" and "#", and a "+" as the first character (an international number); any other
// character is dropped without a sound. Pasted text is not filtered; the dialogs check it. It
// takes 8 characters unless its dialog gives it another limit.
class CNumberEdit : public QLineEdit {
    Q_OBJECT

public:
    static constexpr int kDefaultLimit = 8;
    // The notification code the field reports a released Enter key with.
    static constexpr int kEnterNotification = 0x0D04;

    explicit CNumberEdit(QWidget *parent = nullptr);

    static bool isDialChar(QChar c);
    // Whether c may be typed at position `at` of text: a dialling character, or a "+" in front
    // of a text that has none.
    static bool acceptsTyped(QChar c, const QString &text, int at);

signals:
    // Enter was released in the field; the key is then handled as usual.
    void enterReleased(int notification);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};

} // namespace velnor
