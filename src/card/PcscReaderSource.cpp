#include "card/PcscReaderSource.h"

#include <chrono>

namespace velnor {

namespace {

const char *const kNotification = "\\\\?PnP?\\Notification";

} // namespace

bool PcscReaderSource::ensureContext() {
    std::lock_guard lock(mutex_);
    return context_.valid() || context_.establish() == SCARD_S_SUCCESS;
}

void PcscReaderSource::sleep(int timeoutMs) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return cancelled_; });
}

std::vector<ReaderEntry> PcscReaderSource::take() {
    taken_ = true;
    names_.clear();
    states_.clear();
    if (!ensureContext()) {
        return {};
    }
    ReaderSnapshot snapshot = snapshotReaders(context_.get());
    if (serviceLost(snapshot.status)) {
        std::lock_guard lock(mutex_);
        context_.release();
        return {};
    }
    for (const ReaderEntry &reader : snapshot.readers) {
        names_.push_back(reader.name);
    }
    states_ = std::move(snapshot.states);
    return std::move(snapshot.readers);
}

std::vector<ReaderEntry> PcscReaderSource::waitForChange(int timeoutMs) {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) {
            return {};
        }
    }
    if (!ensureContext()) {
        sleep(timeoutMs);
        return take();
    }
    if (!taken_) {
        take();
    }
    std::vector<SCARD_READERSTATE> watched(names_.size() + 1);
    for (size_t i = 0; i < names_.size(); ++i) {
        watched[i].szReader = names_[i].c_str();
        watched[i].dwCurrentState = states_[i];
    }
    // The notification's current state carries the reader count in its high word.
    watched.back().szReader = kNotification;
    watched.back().dwCurrentState = static_cast<DWORD>(names_.size() << 16);
    const LONG status = SCardGetStatusChange(context_.get(), static_cast<DWORD>(timeoutMs),
                                             watched.data(), static_cast<DWORD>(watched.size()));
    if (status != SCARD_S_SUCCESS && status != SCARD_E_TIMEOUT && status != SCARD_E_CANCELLED) {
        if (serviceLost(status)) {
            std::lock_guard lock(mutex_);
            context_.release();
        }
        sleep(timeoutMs); // an answer that came at once must not turn the watch into a spin
    }
    return take();
}

void PcscReaderSource::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (context_.valid()) {
        SCardCancel(context_.get());
    }
    wake_.notify_all();
}

} // namespace velnor
