#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/Timing.h"
#include "base/WorkerPause.h"
#include "card/WatchCycle.h"

namespace velnor {

// Where the watcher's events go. The window implements it as a blocking call queued to its
// own thread, so the handlers run there; tests may call straight through.
class CardEvents {
public:
    virtual ~CardEvents() = default;
    virtual void cardGone() = 0;
    virtual void otherCard() = 0;
    virtual void pinWanted() = 0;
};

// What the window's card logic needs of the watcher; tests put a fake in its place.
class WatcherControl : public WorkerPause {
public:
    // Starts watching a reader, in place of any watch running.
    virtual void start(const WatchTarget &target) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // Tells the watcher what the window now knows of the card.
    virtual void share(const WatchedCard &card) = 0;
    virtual bool paused() const = 0;
};

// The card watcher: a thread that runs WatchCycle over and over and reports by events.
//
// Pauses nest. pause() returns once the thread is outside a card exchange; while paused it
// starts no exchange and sends no event. An event already on its way when pause() is called
// still arrives: its handler can see paused() and let it go, since the next cycle reports
// again whatever still holds. pause() never waits for a thread that is waiting on an event,
// and stop() does not either: a thread stopped while its event is being handled ends as soon
// as the handler returns, and is joined later. So the window thread never waits on a watcher
// that waits on the window thread.
//
// Destroy the watcher on the window thread, never from one of its own events, and only once no
// event handler can block any more (the window's queued call is released when its receiver
// goes).
class CardWatcher : public WatcherControl {
public:
    CardWatcher(CUSBOpKrnl &driver, CardEvents &events, const Timing &timing);
    ~CardWatcher() override;
    CardWatcher(const CardWatcher &) = delete;
    CardWatcher &operator=(const CardWatcher &) = delete;

    void start(const WatchTarget &target) override;
    void stop() override;
    bool running() const override;
    void share(const WatchedCard &card) override;
    bool paused() const override;

    void pause() override;
    void resume() override;

private:
    enum class State { Idle, Exchange, Delivering, Ended };
    struct Run {
        WatchTarget target;
        bool stopping = false;
        State state = State::Idle;
        std::thread thread;
    };
    class Steps;

    void loop(Run &run);
    // Joins the threads that have ended; with everything set, waits for all of them.
    void reap(bool everything);

    CUSBOpKrnl &driver_;
    CardEvents &events_;
    const Timing &timing_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int pauseDepth_ = 0;
    WatchedCard known_;
    std::shared_ptr<Run> active_;
    std::vector<std::shared_ptr<Run>> retired_;
};

} // namespace velnor
