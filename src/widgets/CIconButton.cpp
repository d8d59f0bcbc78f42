#include "widgets/CIconButton.h"

#include <QPainter>
#include <algorithm>

namespace velnor {

CIconButton::CIconButton(QWidget *parent) : QToolButton(parent) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(22, 22));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QColor CIconButton::hoverColor() const {
    const QColor base = palette().color(QPalette::Button);
    // Darken light buttons and lighten dark ones, so the shade shows on either theme.
    const int step = base.lightness() > 128 ? -colorOffset_ : colorOffset_;
    return QColor(std::clamp(base.red() + step, 0, 255), std::clamp(base.green() + step, 0, 255),
                  std::clamp(base.blue() + step, 0, 255));
}

void CIconButton::paintEvent(QPaintEvent *event) {
    if (isEnabled() && underMouse()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(hoverColor());
        painter.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 3, 3);
    }
    QToolButton::paintEvent(event);
}

} // namespace velnor
