#pragma once

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "base/CardLink.h"
#include "reader/ReaderSource.h"

namespace velnor {

// The readers before and after a change the watch saw.
struct ReaderChange {
    std::vector<ReaderEntry> before;
    std::vector<ReaderEntry> after;
};

// Where the watch reports: the readers as they are, after every change and at least once per
// comparison interval, so a window that could not act on a change (it was busy with the card)
// acts on it at the next report. The window queues the call to its own thread (it need not
// block); tests may call straight through.
class ReaderEvents {
public:
    virtual ~ReaderEvents() = default;
    virtual void readersSeen(const std::vector<ReaderEntry> &readers) = 0;
};

// Whether a change calls for looking for the reader again: a reader appeared while none is
// present; a card went into the reader (any reader while none is present) while no card is
// watched; or the reader in use went away. A card taken out is the card watcher's to notice.
bool callsForReaderSearch(const ReaderChange &change, const ReaderState &reader, bool cardWatched);

// The arrival and removal watch: a thread that waits on the driver's reader source and reports
// what it sees. It touches no card and no window state, so it needs no pausing. A stopped watch
// does not start again.
class ReaderMonitor {
public:
    // compareMs: the longest wait before the readers are listed again.
    ReaderMonitor(std::unique_ptr<ReaderSource> source, ReaderEvents &events, int compareMs = 1000);
    ~ReaderMonitor();
    ReaderMonitor(const ReaderMonitor &) = delete;
    ReaderMonitor &operator=(const ReaderMonitor &) = delete;

    void start();
    // Ends the thread within a moment; safe to call twice.
    void stop();

private:
    void loop();

    std::unique_ptr<ReaderSource> source_;
    ReaderEvents &events_;
    int compareMs_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace velnor
