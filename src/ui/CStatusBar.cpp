#include "ui/CStatusBar.h"

#include "base/TextIds.h"
#include "ui/UiText.h"

namespace velnor {

CStatusBar::CStatusBar(QWidget *parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    const int stretch[3] = {1, 2, 2};
    for (int pane = 0; pane < 3; ++pane) {
        auto *label = new QLabel(this);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(40);
        label->setTextFormat(Qt::PlainText);
        addPermanentWidget(label, stretch[pane]);
        panes_[static_cast<size_t>(pane)] = label;
    }
}

void CStatusBar::showPane(int pane, const std::string &text) {
    if (pane >= 0 && pane < 3) {
        QLabel *label = panes_[static_cast<size_t>(pane)];
        label->setText(QString::fromStdString(text));
        // A pane never cuts its text while the others have room to give.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(label->text()) + 12);
    }
}

QString CStatusBar::paneText(int pane) const {
    return pane >= 0 && pane < 3 ? panes_[static_cast<size_t>(pane)]->text() : QString();
}

void CStatusBar::setIndicators(const Texts &texts) {
    for (int pane = 0; pane < 3; ++pane) {
        panes_[static_cast<size_t>(pane)]->setToolTip(qText(texts, text::ReaderPaneTip + pane));
    }
}

} // namespace velnor
