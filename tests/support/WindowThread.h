#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace velnor::test {

// A window thread for tests: runs posted work in order. A blocking call queued to it is how
// the window takes the card watcher's events.
class WindowThread {
public:
    WindowThread() : thread_([this] { loop(); }) {}
    ~WindowThread() {
        post([this] { done_ = true; });
        thread_.join();
    }
    void post(std::function<void()> work) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
        changed_.notify_all();
    }
    void callBlocking(const std::function<void()> &work) {
        std::promise<void> finished;
        post([&] {
            work();
            finished.set_value();
        });
        finished.get_future().wait();
    }
    // Waits until a condition on the window's state holds, looking at it on the window thread.
    bool eventually(const std::function<bool()> &condition,
                    std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        const auto until = std::chrono::steady_clock::now() + patience;
        for (;;) {
            bool holds = false;
            callBlocking([&] { holds = condition(); });
            if (holds) {
                return true;
            }
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

private:
    void loop() {
        while (!done_) {
            std::function<void()> work;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return !queue_.empty(); });
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool done_ = false; // touched by the window thread only
    std::thread thread_;
};

} // namespace velnor::test
