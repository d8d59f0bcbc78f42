#pragma once

#include <vector>

#include "card/CardWatcher.h"
#include "support/Fakes.h"

namespace velnor::test {

// Stands in for the card watcher: records what the window's card logic asks of it, and counts
// its pauses.
class FakeWatcher : public Counting<WatcherControl> {
public:
    std::vector<WatchTarget> starts;
    int stops = 0;
    bool isRunning = false;
    WatchedCard shared;

    void start(const WatchTarget &target) override {
        starts.push_back(target);
        isRunning = true;
    }
    void stop() override {
        ++stops;
        isRunning = false;
    }
    bool running() const override { return isRunning; }
    void share(const WatchedCard &card) override { shared = card; }
    bool paused() const override { return depth > 0; }
};

} // namespace velnor::test
