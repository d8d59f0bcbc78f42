#include "reader/ReaderSource.h"

#include <chrono>

namespace velnor {

std::unique_ptr<ReaderSource> CUSBOpKrnl::WatchReaders() {
    return std::make_unique<PollingReaderSource>(*this);
}

std::vector<ReaderEntry> PollingReaderSource::waitForChange(int timeoutMs) {
    {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return cancelled_; });
        if (cancelled_) {
            return {};
        }
    }
    return driver_.ListReaders();
}

void PollingReaderSource::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
}

} // namespace velnor
