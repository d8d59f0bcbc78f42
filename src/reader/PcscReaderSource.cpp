#include "reader/PcscReaderSource.h"

#include <algorithm>
#include <chrono>

namespace velnor {

namespace {

const char *const kNotification = "\\\\?PnP?\\Notification";
constexpr int kLookMs = 250; // card insertion and removal show within half a second

} // namespace

bool PcscReaderSource::ensureContext() {
    return context_.valid() || context_.establish() == SCARD_S_SUCCESS;
}

bool PcscReaderSource::sleep(int ms) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return cancelled_; });
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
        context_.release();
        return {};
    }
    for (const ReaderEntry &reader : snapshot.readers) {
        names_.push_back(reader.name);
    }
    states_ = std::move(snapshot.states);
    return std::move(snapshot.readers);
}

bool PcscReaderSource::changed() {
    std::vector<SCARD_READERSTATE> watched(names_.size() + 1);
    for (size_t i = 0; i < names_.size(); ++i) {
        watched[i].szReader = names_[i].c_str();
        watched[i].dwCurrentState = states_[i];
    }
    // The notification's current state carries the reader count in its high word.
    watched.back().szReader = kNotification;
    watched.back().dwCurrentState = static_cast<DWORD>(names_.size() << 16);
    LONG status = SCARD_S_SUCCESS;
    {
        std::lock_guard lock(readerStatesLock());
        status = SCardGetStatusChange(context_.get(), 0, watched.data(),
                                      static_cast<DWORD>(watched.size()));
    }
    if (serviceLost(status)) {
        context_.release();
        return true;
    }
    return status == SCARD_S_SUCCESS;
}

std::vector<ReaderEntry> PcscReaderSource::waitForChange(int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!ensureContext()) {
        return sleep(timeoutMs) ? take() : std::vector<ReaderEntry>{};
    }
    if (!taken_) {
        take();
    }
    while (!changed()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        if (!sleep(std::min<int>(kLookMs, static_cast<int>(left.count())))) {
            return {};
        }
    }
    return take();
}

void PcscReaderSource::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
}

} // namespace velnor
