#include "base/Timing.h"

#include <chrono>
#include <thread>

namespace velnor {

void Timing::wait(int ms) const {
    if (ms <= 0) {
        if (repaint) {
            repaint();
        }
        return;
    }
    if (sleeper) {
        sleeper(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

Timing Timing::paced(bool documentedPacing) const {
    Timing t = documentedPacing ? documented() : prompt();
    t.sleeper = sleeper;
    t.repaint = repaint;
    return t;
}

Timing Timing::prompt() {
    Timing t;
    t.readStart = t.writeStart = t.writeSettle = t.takeOverRedraw = 0;
    t.finishBefore = t.finishAfter = t.commandBefore = t.changePinBefore = t.commandAfter = 0;
    t.discoveryStep = t.otherCardSettle = t.headerClick = t.headerClickAfter = 0;
    // Each update is answered by the card before the next is sent.
    t.restoreWidthsAfter = t.messageUpdate = 0;
    return t;
}

Timing Timing::none() {
    Timing t = prompt();
    t.watcherShort = t.watcherLong = 0;
    return t;
}

} // namespace velnor
