#pragma once

namespace velnor {

// Holds the card watcher while the window thread uses the card. Pauses nest; pause() returns
// once the watcher is outside a card exchange.
class WorkerPause {
public:
    virtual ~WorkerPause() = default;
    virtual void pause() = 0;
    virtual void resume() = 0;
};

// Resumes on every way out of a scope, unless released early with resumeNow(). A null worker
// (the command-line tool runs no watcher) holds nothing.
class PauseGuard {
public:
    explicit PauseGuard(WorkerPause &worker) : PauseGuard(&worker) {}
    explicit PauseGuard(WorkerPause *worker) : worker_(worker), held_(worker != nullptr) {
        if (held_) {
            worker_->pause();
        }
    }
    ~PauseGuard() { resumeNow(); }
    PauseGuard(const PauseGuard &) = delete;
    PauseGuard &operator=(const PauseGuard &) = delete;

    void resumeNow() {
        if (held_) {
            held_ = false;
            worker_->resume();
        }
    }

private:
    WorkerPause *worker_;
    bool held_;
};

} // namespace velnor
