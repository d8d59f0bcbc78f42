#pragma once

#include "base/Timing.h"
#include "base/WorkerPause.h"

namespace velnor {

// Holds the card watcher for one command: a wait, the hold, and on the way out another wait
// before the watcher goes on.
class CommandPause {
public:
    CommandPause(WorkerPause &worker, const Timing &timing, int before)
        : worker_(worker), timing_(timing) {
        timing_.wait(before);
        worker_.pause();
    }
    ~CommandPause() {
        timing_.wait(timing_.commandAfter);
        worker_.resume();
    }
    CommandPause(const CommandPause &) = delete;
    CommandPause &operator=(const CommandPause &) = delete;

private:
    WorkerPause &worker_;
    const Timing &timing_;
};

} // namespace velnor
