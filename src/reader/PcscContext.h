#pragma once

#include <winscard.h>

#include <mutex>
#include <string>
#include <vector>

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// A context with the PC/SC resource manager (pcscd). pcsc-lite serialises the calls of one
// context, so every thread that may block in a call gets a context of its own.
class PcscContext {
public:
    PcscContext() = default;
    ~PcscContext() { release(); }
    PcscContext(const PcscContext &) = delete;
    PcscContext &operator=(const PcscContext &) = delete;

    LONG establish();
    void release();
    bool valid() const { return valid_; }
    SCARDCONTEXT get() const { return context_; }

private:
    SCARDCONTEXT context_ = 0;
    bool valid_ = false;
};

// pcsc-lite 1.9 reads reader states into one table for the whole process, guarded only by the
// lock of the context asking, so two threads asking on two contexts write it at once. Every call
// that reads reader states (listing readers, their states, a card's status) takes this lock,
// and none of them waits for anything while it holds it.
std::mutex &readerStatesLock();

// The readers of a context and the state each was last seen in.
struct ReaderSnapshot {
    LONG status = SCARD_S_SUCCESS; // of the listing: no service, no readers, ...
    std::vector<ReaderEntry> readers;
    std::vector<DWORD> states; // SCARD_STATE_* with pcsc-lite's event count in the high word
};

ReaderSnapshot snapshotReaders(SCARDCONTEXT context);

// Errors that mean the card went away or was reset behind the program's back, or that the
// reader lost its way with it: the connection has to be made again.
bool cardConnectionLost(LONG status);
// Errors that mean pcscd or the reader went away: the context has to be made again.
bool serviceLost(LONG status);

// "pcscd is not running", "the card was removed", ... with the PC/SC code, for diagnostics.
std::string describePcscStatus(LONG status);

} // namespace velnor
