#include "card/CardWatcher.h"

#include <chrono>

namespace velnor {

// The safe points of one run: exchanges wait while the watcher is paused, events are not sent
// while it is paused, and every wait ends at once when the run is stopped.
class CardWatcher::Steps : public WatchSteps {
public:
    Steps(CardWatcher &watcher, Run &run) : w_(watcher), run_(run) {}

    bool exchange(const std::function<void()> &cardWork) override {
        {
            std::unique_lock lock(w_.mutex_);
            w_.changed_.wait(lock, [this] { return run_.stopping || w_.pauseDepth_ == 0; });
            if (run_.stopping) {
                return false;
            }
            run_.state = State::Exchange;
        }
        cardWork();
        settle();
        return true;
    }

    bool deliver(CardEvent event) override {
        {
            std::lock_guard lock(w_.mutex_);
            if (run_.stopping || w_.pauseDepth_ > 0) {
                return false;
            }
            run_.state = State::Delivering;
        }
        switch (event) {
        case CardEvent::CardGone:
            w_.events_.cardGone();
            break;
        case CardEvent::OtherCard:
            w_.events_.otherCard();
            break;
        case CardEvent::PinWanted:
            w_.events_.pinWanted();
            break;
        }
        settle();
        return true;
    }

    void wait(int ms) override {
        std::unique_lock lock(w_.mutex_);
        if (ms <= 0) {
            lock.unlock();
            std::this_thread::yield();
            return;
        }
        w_.changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return run_.stopping; });
    }

    WatchedCard known() override {
        std::lock_guard lock(w_.mutex_);
        return w_.known_;
    }

private:
    void settle() {
        {
            std::lock_guard lock(w_.mutex_);
            run_.state = State::Idle;
        }
        w_.changed_.notify_all();
    }

    CardWatcher &w_;
    Run &run_;
};

CardWatcher::CardWatcher(CUSBOpKrnl &driver, CardEvents &events, const Timing &timing)
    : driver_(driver), events_(events), timing_(timing) {}

CardWatcher::~CardWatcher() {
    stop();
    reap(true);
}

void CardWatcher::loop(Run &run) {
    Steps steps(*this, run);
    {
        WatchCycle cycle(driver_, run.target, timing_);
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (run.stopping) {
                    break;
                }
            }
            cycle.run(steps);
        }
    }
    {
        std::lock_guard lock(mutex_);
        run.state = State::Ended;
    }
    changed_.notify_all();
}

void CardWatcher::start(const WatchTarget &target) {
    stop();
    std::lock_guard lock(mutex_);
    auto run = std::make_shared<Run>();
    run->target = target;
    active_ = run;
    run->thread = std::thread([this, run] { loop(*run); });
}

void CardWatcher::stop() {
    std::shared_ptr<Run> run;
    {
        std::unique_lock lock(mutex_);
        run = std::move(active_);
        active_.reset();
        if (run) {
            run->stopping = true;
            changed_.notify_all();
            // A run busy with an event cannot end before the window has handled it.
            changed_.wait(lock, [&] {
                return run->state == State::Ended || run->state == State::Delivering;
            });
            if (run->state == State::Delivering) {
                retired_.push_back(run);
                run.reset();
            }
        }
    }
    if (run) {
        run->thread.join();
    }
    reap(false);
}

void CardWatcher::reap(bool everything) {
    std::vector<std::shared_ptr<Run>> ended;
    {
        std::lock_guard lock(mutex_);
        for (auto it = retired_.begin(); it != retired_.end();) {
            if (everything || (*it)->state == State::Ended) {
                ended.push_back(std::move(*it));
                it = retired_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto &run : ended) {
        run->thread.join();
    }
}

bool CardWatcher::running() const {
    std::lock_guard lock(mutex_);
    return active_ != nullptr;
}

void CardWatcher::share(const WatchedCard &card) {
    std::lock_guard lock(mutex_);
    known_ = card;
}

bool CardWatcher::paused() const {
    std::lock_guard lock(mutex_);
    return pauseDepth_ > 0;
}

void CardWatcher::pause() {
    std::unique_lock lock(mutex_);
    ++pauseDepth_;
    changed_.wait(lock, [this] { return !active_ || active_->state != State::Exchange; });
}

void CardWatcher::resume() {
    {
        std::lock_guard lock(mutex_);
        if (pauseDepth_ > 0) {
            --pauseDepth_;
        }
    }
    changed_.notify_all();
}

} // namespace velnor
