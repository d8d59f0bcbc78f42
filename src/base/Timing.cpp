#include "base/Timing.h"

#include <chrono>
#include <thread>

namespace velnor {

void Timing::wait(int ms) const {
    if (ms <= 0) {
        return;
    }
    if (sleeper) {
        sleeper(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

Timing Timing::none() {
    Timing t;
    t.readStart = t.writeStart = t.writeSettle = t.takeOverRedraw = 0;
    t.finishBefore = t.finishAfter = t.commandBefore = t.changePinBefore = t.commandAfter = 0;
    t.discoveryStep = t.otherCardSettle = t.headerClick = t.headerClickAfter = 0;
    t.restoreWidthsAfter = t.messageUpdate = t.watcherShort = t.watcherLong = 0;
    return t;
}

} // namespace velnor
