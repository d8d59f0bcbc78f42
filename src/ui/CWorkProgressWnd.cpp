#include "ui/CWorkProgressWnd.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "ui/UiText.h"

namespace velnor {

namespace {
constexpr int kWidth = 390;
constexpr int kTextLines = 4;
constexpr int kMargin = 10;
} // namespace

CWorkProgressWnd::CWorkProgressWnd(QWidget *owner, const Texts &texts)
    : owner_(owner), texts_(texts) {}

CWorkProgressWnd::~CWorkProgressWnd() {
    close();
    delete window_;
}

QString CWorkProgressWnd::captionFor(const QString &title, int percent) {
    return QStringLiteral("%1 [%2%]").arg(title).arg(percent);
}

int CWorkProgressWnd::percentOf(int position, int lower, int upper) {
    if (upper <= lower) {
        return 0;
    }
    return static_cast<int>(static_cast<long long>(position) * 100 / (upper - lower));
}

void CWorkProgressWnd::create() {
    if (window_ != nullptr) {
        return;
    }
    // No parent: a child window would be disabled together with the owner it disables.
    window_ = new QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window_->setAttribute(Qt::WA_ShowWithoutActivating);
    window_->setObjectName(QStringLiteral("CWorkProgressWnd"));
    text_ = new QLabel(window_);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMinimumHeight(text_->fontMetrics().lineSpacing() * kTextLines);
    bar_ = new QProgressBar(window_);
    bar_->setTextVisible(true);
    cancelButton_ = new QPushButton(qText(texts_, text::Cancel), window_);
    QObject::connect(cancelButton_, &QPushButton::clicked, [this] { cancel(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton_);
    auto *layout = new QVBoxLayout(window_);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    window_->setFixedWidth(kWidth);
    window_->adjustSize();
}

void CWorkProgressWnd::goModal() {
    if (modal_) {
        return;
    }
    QWidget *outer = owner_ != nullptr ? owner_->window() : QApplication::activeWindow();
    while (outer != nullptr && outer->parentWidget() != nullptr &&
           outer->parentWidget()->window()->isEnabled()) {
        outer = outer->parentWidget()->window();
    }
    if (outer != nullptr && outer->isEnabled()) {
        outer->setEnabled(false);
        disabledOwner_ = outer;
    }
    window_->setEnabled(true);
    modal_ = true;
}

void CWorkProgressWnd::begin(const std::string &title, const std::string &text, int lower,
                             int upper) {
    create();
    title_ = QString::fromStdString(title);
    cancelled_ = false;
    lastPercent_ = 0;
    position_ = lower;
    window_->setWindowTitle(title_);
    setRange(lower, upper, 1);
    setText(QString::fromStdString(text));
    bar_->setValue(lower);
    cancelButton_->setText(qText(texts_, text::Cancel));
    goModal();
    if (!window_->isVisible()) {
        const QWidget *centreOn = owner_ != nullptr ? owner_->window() : nullptr;
        const QRect area = centreOn != nullptr ? centreOn->frameGeometry()
                                               : window_->screen()->availableGeometry();
        // Below the middle, so that a question the operation asks does not cover it.
        window_->move(area.center().x() - window_->width() / 2,
                      area.top() + area.height() * 2 / 3 - window_->height() / 2);
        window_->show();
    }
}

void CWorkProgressWnd::setRange(int lower, int upper, int step) {
    lower_ = lower;
    upper_ = upper;
    step_ = step;
    if (bar_ != nullptr) {
        bar_->setRange(lower, std::max(lower, upper));
    }
}

void CWorkProgressWnd::step() {
    setPos(position_ + step_);
}

int CWorkProgressWnd::setPos(int position) {
    position_ = position;
    if (window_ == nullptr) {
        return position_;
    }
    const int percent = percentOf(position, lower_, upper_);
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        window_->setWindowTitle(captionFor(title_, percent));
    }
    bar_->setValue(std::clamp(position, lower_, std::max(lower_, upper_)));
    return position_;
}

void CWorkProgressWnd::setText(const QString &text) {
    if (text_ != nullptr) {
        // The window shows what fits its line buffer.
        text_->setText(text.left(511));
    }
}

void CWorkProgressWnd::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CWorkProgressWnd::close() {
    if (modal_) {
        modal_ = false;
        if (disabledOwner_ != nullptr) {
            disabledOwner_->setEnabled(true);
        }
        disabledOwner_ = nullptr;
    }
    if (window_ != nullptr) {
        window_->hide();
    }
}

} // namespace velnor
