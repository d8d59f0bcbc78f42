#include "reader/ReaderMonitor.h"

#include <algorithm>

namespace velnor {

namespace {

const ReaderEntry *findReader(const std::vector<ReaderEntry> &readers, const std::string &name) {
    const auto found = std::find_if(readers.begin(), readers.end(),
                                    [&](const ReaderEntry &r) { return r.name == name; });
    return found == readers.end() ? nullptr : &*found;
}

bool cardWentIn(const ReaderChange &change, const std::string &name) {
    const ReaderEntry *now = findReader(change.after, name);
    const ReaderEntry *before = findReader(change.before, name);
    return now != nullptr && now->cardPresent && (before == nullptr || !before->cardPresent);
}

} // namespace

bool callsForReaderSearch(const ReaderChange &change, const ReaderState &reader, bool cardWatched) {
    if (reader.readerPresent) {
        if (findReader(change.before, reader.devicePath) != nullptr &&
            findReader(change.after, reader.devicePath) == nullptr) {
            return true; // the reader in use went away
        }
        return !cardWatched && cardWentIn(change, reader.devicePath);
    }
    for (const ReaderEntry &now : change.after) {
        if (findReader(change.before, now.name) == nullptr) {
            return true; // a reader appeared while none is present
        }
        if (!cardWatched && cardWentIn(change, now.name)) {
            return true;
        }
    }
    return false;
}

ReaderMonitor::ReaderMonitor(std::unique_ptr<ReaderSource> source, ReaderEvents &events,
                             int compareMs)
    : source_(std::move(source)), events_(events), compareMs_(compareMs) {}

ReaderMonitor::~ReaderMonitor() {
    stop();
}

void ReaderMonitor::start() {
    if (!thread_.joinable() && !stopping_) {
        thread_ = std::thread([this] { loop(); });
    }
}

void ReaderMonitor::stop() {
    stopping_ = true;
    source_->cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ReaderMonitor::loop() {
    while (!stopping_) {
        const std::vector<ReaderEntry> readers = source_->waitForChange(compareMs_);
        if (stopping_) {
            break;
        }
        events_.readersSeen(readers);
    }
}

} // namespace velnor
