#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// The readers as another thread sees them change: each call waits until something may have
// changed (a reader came or went, a card went in or out) or the time is up, then lists them.
class ReaderSource {
public:
    virtual ~ReaderSource() = default;

    // Waits at most timeoutMs for a change, then gives the readers as they are.
    virtual std::vector<ReaderEntry> waitForChange(int timeoutMs) = 0;
    // Makes the wait in progress, and every later one, return soon. Callable from any thread.
    virtual void cancel() = 0;
};

// Asks the driver for its readers after every wait: for drivers that cannot tell of changes.
class PollingReaderSource : public ReaderSource {
public:
    explicit PollingReaderSource(CUSBOpKrnl &driver) : driver_(driver) {}

    std::vector<ReaderEntry> waitForChange(int timeoutMs) override;
    void cancel() override;

private:
    CUSBOpKrnl &driver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool cancelled_ = false;
};

} // namespace velnor
