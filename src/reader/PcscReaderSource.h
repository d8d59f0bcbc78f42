#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "reader/PcscContext.h"
#include "reader/ReaderSource.h"

namespace velnor {

// Looks at the states of the known readers and at pcscd's reader-list notification together,
// a few times a second, and lists the readers again when either changed or the time is up.
// Some drivers announce nothing on the notification (vpcd among them), so a caller that lists
// once a second still sees readers come and go. The looks do not block in pcscd: a blocking
// wait would fill pcsc-lite's shared table of reader states while other threads read it. Without
// pcscd it waits the time given, reports no reader, and finds pcscd again when it comes back.
class PcscReaderSource : public ReaderSource {
public:
    PcscReaderSource() = default;

    std::vector<ReaderEntry> waitForChange(int timeoutMs) override;
    void cancel() override;

private:
    // The readers now, remembering the state each is in so the next look starts from it.
    std::vector<ReaderEntry> take();
    // True when a known reader or the reader list changed since the last take.
    bool changed();
    bool ensureContext();
    // Waits up to ms unless cancelled; false once cancelled.
    bool sleep(int ms);

    std::mutex mutex_; // guards cancelled_
    std::condition_variable wake_;
    bool cancelled_ = false;
    PcscContext context_;
    bool taken_ = false; // the readers were listed once, so there are states to compare with
    std::vector<std::string> names_;
    std::vector<DWORD> states_;
};

} // namespace velnor
