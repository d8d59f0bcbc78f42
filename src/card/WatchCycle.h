#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/Timing.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor {

// What the watcher tells the window.
enum class CardEvent { CardGone, OtherCard, PinWanted };

// The reader the watcher looks at.
struct WatchTarget {
    std::string devicePath;
    uint8_t simFunction = 0;
};

// What the window knows of the card, as the watcher compares against it.
struct WatchedCard {
    bool chv1Pending = true;
    std::string lastIdentity; // empty after a removal
};

// How one cycle reaches the card and the window: the watcher thread holds it at its safe
// points (pause, stop); tests step it by hand.
class WatchSteps {
public:
    virtual ~WatchSteps() = default;
    // Runs one card exchange; false (without running it) once the watcher is stopping.
    virtual bool exchange(const std::function<void()> &cardWork) = 0;
    // Sends an event to the window; false when it was not sent (paused or stopping).
    virtual bool deliver(CardEvent event) = 0;
    virtual void wait(int ms) = 0;
    virtual WatchedCard known() = 0;
};

// The watcher's cycle on a handle of its own, kept open from one cycle to the next:
//  1. wait T1; select the master file; when that fails, wait T1 and ask for the answer to reset;
//  2. select the master file and read its status;
//  3. CHV1 enabled while the window still wants the PIN: PIN wanted;
//  4. read the identity; when it differs from the window's: other card; then wait T2.
// Any failure is a missed cycle: one is tolerated, the second in a row sends card gone (and
// the count starts again). T1 and T2 are the watcher's short and long waits. A card that
// refuses class A0 is looked at through class 00: its USIM's PIN1 and its ICCID.
class WatchCycle {
public:
    WatchCycle(CUSBOpKrnl &driver, WatchTarget target, const Timing &timing);
    ~WatchCycle();
    WatchCycle(const WatchCycle &) = delete;
    WatchCycle &operator=(const WatchCycle &) = delete;

    void run(WatchSteps &steps);
    bool missed() const { return missed_; }

private:
    enum class Seen { Card, NoCard, Stopping };

    // Steps 1 and 2: the CHV1 state of the master file, or why there is none.
    Seen lookAtCard(WatchSteps &steps, bool &chv1Enabled);
    void cardMissed(WatchSteps &steps);
    bool openHandle();

    CUSBOpKrnl &driver_;
    WatchTarget target_;
    int shortWait_;
    int longWait_;
    int handle_ = -1;
    bool missed_ = false;
    bool uicc_ = false; // the card refused class A0 and was looked at through its USIM
};

} // namespace velnor
