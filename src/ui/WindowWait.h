#pragma once

#include <QRect>
#include <QSize>

#include "base/Timing.h"

namespace velnor {

// The timings of the window: waits spent in a way that keeps the windows painting and timers
// running while the user's input waits until the wait is over, and a repaint where none is kept.
Timing windowTiming();
void waitKeepingPaint(int ms);

// A window laid out for a 1024 by 768 screen, scaled to this screen: left edge and width by
// width / 1024, top edge and height by height / 768, each cut toward zero.
QRect scaleToScreen(const QRect &designed, const QSize &screen);

} // namespace velnor
