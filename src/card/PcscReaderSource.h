#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "card/PcscContext.h"
#include "card/ReaderSource.h"

namespace velnor {

// Waits on pcscd for the states of the known readers and for its reader-list notification
// together, and lists the readers again after every wait. Some drivers announce nothing on
// the notification (vpcd among them), so a caller that compares lists once a second still sees
// readers come and go. Without pcscd it waits the time given and reports no reader, and finds
// pcscd again when it comes back.
class PcscReaderSource : public ReaderSource {
public:
    PcscReaderSource() = default;

    std::vector<ReaderEntry> waitForChange(int timeoutMs) override;
    void cancel() override;

private:
    // The readers now, remembering the state each is in so the next wait starts from it.
    std::vector<ReaderEntry> take();
    bool ensureContext();
    void sleep(int timeoutMs);

    std::mutex mutex_; // guards the context against cancel() from another thread
    std::condition_variable wake_;
    PcscContext context_;
    bool cancelled_ = false;
    bool taken_ = false; // the readers were listed once, so there are states to wait on
    std::vector<std::string> names_;
    std::vector<DWORD> states_;
};

} // namespace velnor
