#include "ui/WindowWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace velnor {

void waitKeepingPaint(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

Timing windowTiming() {
    Timing timing = Timing::prompt();
    timing.sleeper = waitKeepingPaint;
    timing.repaint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    return timing;
}

QRect scaleToScreen(const QRect &designed, const QSize &screen) {
    const double x = screen.width() / 1024.0;
    const double y = screen.height() / 768.0;
    return QRect(static_cast<int>(designed.left() * x), static_cast<int>(designed.top() * y),
                 static_cast<int>(designed.width() * x), static_cast<int>(designed.height() * y));
}

} // namespace velnor
