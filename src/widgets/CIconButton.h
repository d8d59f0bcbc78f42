#pragma once

#include <QToolButton>

namespace velnor {

// A flat button with an icon (and its caption beside it) whose background is shaded while the
// mouse is over it; the shade is the button colour moved by a colour offset.
class CIconButton : public QToolButton {
    Q_OBJECT

public:
    explicit CIconButton(QWidget *parent = nullptr);

    void setColorOffset(int offset) { colorOffset_ = offset; }
    int colorOffset() const { return colorOffset_; }
    // The hover background for the current palette.
    QColor hoverColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int colorOffset_ = 30;
};

} // namespace velnor
