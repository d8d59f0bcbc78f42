#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "card/ReaderMonitor.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;
using Readers = std::vector<ReaderEntry>;

const ReaderEntry kEmptyA{"Reader A", false};
const ReaderEntry kCardA{"Reader A", true};
const ReaderEntry kEmptyB{"Reader B", false};
const ReaderEntry kCardB{"Reader B", true};

ReaderState inUse(const std::string &name) {
    ReaderState reader;
    reader.devicePath = name;
    reader.readerPresent = true;
    return reader;
}

TEST(ReaderSearchRule, CallsForASearchOnlyWhenTheWindowCanUseTheChange) {
    const ReaderState none;
    const ReaderState a = inUse("Reader A");
    struct Case {
        const char *what;
        Readers before;
        Readers after;
        ReaderState reader;
        bool watched;
        bool search;
    };
    const Case cases[] = {
        {"reader appears, none present", {}, {kEmptyA}, none, false, true},
        {"reader with a card appears", {}, {kCardA}, none, false, true},
        {"another reader appears", {kEmptyA}, {kEmptyA, kEmptyB}, a, false, false},
        {"card into the reader in use", {kEmptyA}, {kCardA}, a, false, true},
        {"the same, the watcher sees it", {kEmptyA}, {kCardA}, a, true, false},
        {"card into another reader", {kEmptyA, kEmptyB}, {kEmptyA, kCardB}, a, false, false},
        {"card into a reader, none present", {kEmptyB}, {kCardB}, none, false, true},
        {"the reader in use goes", {kCardA, kEmptyB}, {kEmptyB}, a, true, true},
        {"another reader goes", {kCardA, kEmptyB}, {kCardA}, a, true, false},
        {"card taken out: the watcher's", {kCardA}, {kEmptyA}, a, false, false},
        {"nothing changed", {kCardA}, {kCardA}, a, false, false},
        {"last reader goes, none present", {kEmptyA}, {}, none, false, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(callsForReaderSearch({c.before, c.after}, c.reader, c.watched), c.search)
            << c.what;
    }
}

// Hands out scripted reader lists, one per wait; then waits until cancelled.
class ScriptedSource : public ReaderSource {
public:
    explicit ScriptedSource(std::deque<Readers> script) : script_(std::move(script)) {}

    Readers waitForChange(int timeoutMs) override {
        std::unique_lock lock(mutex_);
        timeouts.push_back(timeoutMs);
        if (!script_.empty()) {
            Readers next = std::move(script_.front());
            script_.pop_front();
            return next;
        }
        wake_.wait(lock, [this] { return cancelled_; });
        return {};
    }
    void cancel() override {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        wake_.notify_all();
    }

    std::vector<int> timeouts; // guarded by mutex_, read after the monitor stopped

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Readers> script_;
    bool cancelled_ = false;
};

class SeenReaders : public ReaderEvents {
public:
    void readersSeen(const Readers &readers) override {
        std::lock_guard lock(mutex_);
        seen_.push_back(readers);
        changed_.notify_all();
    }
    std::vector<Readers> waitFor(size_t n, std::chrono::milliseconds patience = 5s) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, patience, [&] { return seen_.size() >= n; });
        return seen_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Readers> seen_;
};

TEST(ReaderMonitorTest, ReportsEveryListAndStopsAWaitInProgress) {
    auto source = std::make_unique<ScriptedSource>(std::deque<Readers>{{kEmptyA}, {kCardA}});
    ScriptedSource &script = *source;
    SeenReaders seen;
    ReaderMonitor monitor(std::move(source), seen, 750);
    monitor.start();
    EXPECT_EQ(seen.waitFor(2), (std::vector<Readers>{{kEmptyA}, {kCardA}}));
    const auto before = std::chrono::steady_clock::now();
    monitor.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_EQ(seen.waitFor(3, 50ms).size(), 2u) << "nothing is reported after the stop";
    // Two waits that gave the lists, and perhaps the one the stop ended.
    EXPECT_GE(script.timeouts.size(), 2u);
    EXPECT_LE(script.timeouts.size(), 3u);
    for (const int timeout : script.timeouts) {
        EXPECT_EQ(timeout, 750);
    }
    monitor.stop();
}

} // namespace
} // namespace velnor::test
