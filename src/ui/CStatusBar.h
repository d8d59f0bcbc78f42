#pragma once

#include <QLabel>
#include <QStatusBar>
#include <array>

#include "base/StatusPanes.h"
#include "base/Texts.h"

namespace velnor {

// The three panes at the foot of the main window: the reader (a fifth of the width), the card
// (two fifths) and what the lists hold or the card operation's progress (the rest).
class CStatusBar : public QStatusBar, public StatusPanes {
    Q_OBJECT

public:
    explicit CStatusBar(QWidget *parent = nullptr);

    void showPane(int pane, const std::string &text) override;
    QString paneText(int pane) const;
    // The panes' tool tips (text::ReaderPaneTip on) in the current language.
    void setIndicators(const Texts &texts);

private:
    std::array<QLabel *, 3> panes_{};
};

} // namespace velnor
