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
    struct Case {
        const char *what;
        Readers before;
        Readers after;
        ReaderState reader;
        bool watched;
        bool search;
    };
    const Case cases[] = {
        {"a reader appears while none is present", {}, {kEmptyA}, none, false, true},
        {"it appears with a card in it", {}, {kCardA}, none, false, true},
        {"another reader appears while one is in use", {kEmptyA}, {kEmptyA, kEmptyB}, inUse("Reader A"), false, false},
        {"a card goes into the reader in use, no card watched", {kEmptyA}, {kCardA}, inUse("Reader A"), false, true},
        {"the same while the watcher runs: the watcher sees it", {kEmptyA}, {kCardA}, inUse("Reader A"), true, false},
        {"a card goes into another reader", {kEmptyA, kEmptyB}, {kEmptyA, kCardB}, inUse("Reader A"), false, false},
        {"a card into any reader while none is present", {kEmptyB}, {kCardB}, none, false, true},
        {"the reader in use goes away", {kCardA, kEmptyB}, {kEmptyB}, inUse("Reader A"), true, true},
        {"another reader goes away", {kCardA, kEmptyB}, {kCardA}, inUse("Reader A"), true, false},
        {"a card taken out is the watcher's", {kCardA}, {kEmptyA}, inUse("Reader A"), false, false},
        {"nothing changed", {kCardA}, {kCardA}, inUse("Reader A"), false, false},
        {"the last reader goes away while none is present", {kEmptyA}, {}, none, false, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(callsForReaderSearch({c.before, c.after}, c.reader, c.watched), c.search) << c.what;
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
    EXPECT_EQ(script.timeouts, (std::vector<int>{750, 750, 750}));
    monitor.stop();
}

} // namespace
} // namespace velnor::test
