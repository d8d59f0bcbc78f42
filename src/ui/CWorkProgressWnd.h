#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "base/ProgressSink.h"
#include "base/Texts.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace velnor {

// The small window a card read or write shows while it works record by record. It makes itself
// modal by hand: it disables the outermost enabled window above its owner and enables it again
// when it closes, while the operation keeps running on the window thread and lets events through
// between records. Its caption shows the percentage done; its Cancel button sets the cancelled
// flag the operation polls.
class CWorkProgressWnd : public ProgressSink {
public:
    CWorkProgressWnd(QWidget *owner, const Texts &texts);
    ~CWorkProgressWnd() override;
    CWorkProgressWnd(const CWorkProgressWnd &) = delete;
    CWorkProgressWnd &operator=(const CWorkProgressWnd &) = delete;

    void begin(const std::string &title, const std::string &text, int lower, int upper) override;
    void step() override;
    void pump() override;
    bool cancelled() const override { return cancelled_; }
    void close() override;

    // The window's steps one at a time, as the operations use them.
    void setRange(int lower, int upper, int step);
    int setPos(int position);
    void setText(const QString &text);
    void cancel() { cancelled_ = true; }

    // "title [n%]": the caption once a percentage is known.
    static QString captionFor(const QString &title, int percent);
    // position * 100 / (upper - lower), or 0 for an empty range.
    static int percentOf(int position, int lower, int upper);

    QWidget *window() const { return window_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QProgressBar *bar() const { return bar_; }

private:
    void create();
    void goModal();

    QPointer<QWidget> owner_;
    const Texts &texts_;
    QString title_ = QStringLiteral("Progress");
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 1;
    int position_ = 0;
    int lastPercent_ = 0;
    bool cancelled_ = false;
    bool modal_ = false;
    QPointer<QWidget> disabledOwner_;
    QPointer<QWidget> window_;
    QLabel *text_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
};

} // namespace velnor
