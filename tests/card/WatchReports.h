#pragma once

// What the card watcher and the reader watch report from their threads, for tests that wait for
// their reports: in card tests, and through the real pcscd in e2e.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "card/CardWatcher.h"
#include "reader/ReaderMonitor.h"
#include "support/WindowThread.h"

namespace velnor::test {

using Readers = std::vector<ReaderEntry>;
constexpr std::chrono::milliseconds kPatience{5000}; // every wait of these tests ends by then

// What a watch thread reported, in order.
template <class Report> class Reports {
public:
    void add(Report report) {
        std::lock_guard lock(mutex_);
        reports_.push_back(std::move(report));
        changed_.notify_all();
    }
    // The reports once they hold, or all there are after the patience given.
    std::vector<Report> waitUntil(const std::function<bool(const std::vector<Report> &)> &hold,
                                  std::chrono::milliseconds patience = kPatience) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, patience, [&] { return hold(reports_); });
        return reports_;
    }
    // The reports once there are n of them.
    std::vector<Report> waitFor(size_t n, std::chrono::milliseconds patience = kPatience) {
        return waitUntil([n](const std::vector<Report> &all) { return all.size() >= n; }, patience);
    }
    size_t count() { return waitFor(0).size(); }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> reports_;
};

// Records the card events and, when given a window thread, delivers them through it.
class RecordedEvents : public CardEvents {
public:
    WindowThread *window = nullptr;
    std::function<void(CardEvent)> handler; // runs on the window thread, after recording
    Reports<CardEvent> seen;

    void cardGone() override { arrive(CardEvent::CardGone); }
    void otherCard() override { arrive(CardEvent::OtherCard); }
    void pinWanted() override { arrive(CardEvent::PinWanted); }

private:
    void arrive(CardEvent event) {
        auto work = [this, event] {
            seen.add(event);
            if (handler) {
                handler(event);
            }
        };
        window != nullptr ? window->callBlocking(work) : work();
    }
};

class SeenReaders : public ReaderEvents {
public:
    void readersSeen(const Readers &readers) override { seen.add(readers); }
    Reports<Readers> seen;
};

} // namespace velnor::test
