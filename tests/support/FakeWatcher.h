#pragma once

#include <vector>

#include "card/CardWatcher.h"

namespace velnor::test {

// Stands in for the card watcher: records what the window's card logic asks of it, and counts
// pauses like CountingWorker does.
class FakeWatcher : public WatcherControl {
public:
    std::vector<WatchTarget> starts;
    int stops = 0;
    bool isRunning = false;
    WatchedCard shared;
    int depth = 0;
    int pauses = 0;
    bool unbalanced = false;

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
    void pause() override {
        ++depth;
        ++pauses;
    }
    void resume() override {
        if (--depth < 0) {
            unbalanced = true;
        }
    }
};

} // namespace velnor::test
