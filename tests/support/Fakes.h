#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/ProgressSink.h"
#include "base/StatusPanes.h"
#include "base/WorkerPause.h"
#include "ui/CommandStates.h"

namespace velnor::test {

class RecordingPanes : public StatusPanes {
public:
    std::string panes[3];
    void showPane(int pane, const std::string &text) override { panes[pane] = text; }
};

class RecordingCommands : public CommandStates {
public:
    std::map<std::pair<int, CommandPlace>, bool> enabled;
    void setCommandEnabled(int id, CommandPlace place, bool on) override {
        enabled[{id, place}] = on;
    }
    bool isEnabled(int id, CommandPlace place) const {
        const auto found = enabled.find({id, place});
        return found != enabled.end() && found->second;
    }
};

// Counts pauses of a worker (or of a card watcher, whose pauses are a worker's); a resume
// without a pause is a fault the tests look for.
template <typename Worker = WorkerPause> class Counting : public Worker {
public:
    int depth = 0;
    int pauses = 0;
    bool unbalanced = false;
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
using CountingWorker = Counting<>;

// A progress window whose user presses Cancel once `cancelAtStep` steps were taken.
class ScriptedProgress : public ProgressSink {
public:
    int cancelAtStep = -1;
    int steps = 0;
    int upper = 0;
    bool open = false;

    void begin(const std::string &, const std::string &, int, int u) override {
        upper = u;
        open = true;
    }
    void step() override { ++steps; }
    void pump() override {}
    bool cancelled() const override { return cancelAtStep >= 0 && steps >= cancelAtStep; }
    void close() override { open = false; }
};

} // namespace velnor::test
