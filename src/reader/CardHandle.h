#pragma once

#include <string>

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// One device handle of the driver, released on every way out of a card operation. While a
// CardConnection of the same driver and device path is held on this thread, the handle is
// that connection's, and stays open when this one ends.
class CardHandle {
public:
    CardHandle(CUSBOpKrnl &driver, const std::string &devicePath);
    ~CardHandle() { release(); }
    CardHandle(const CardHandle &) = delete;
    CardHandle &operator=(const CardHandle &) = delete;

    bool isOpen() const { return handle_ != -1; }
    int get() const { return handle_; }
    void release();

private:
    CUSBOpKrnl &driver_;
    int handle_ = -1;
    bool owned_ = false;
};

// One connection for one operation: every step of a read, a write or a PIN command (the
// reader inquiry, opening the card, the PIN, the records) runs on it, instead of each
// connecting again. It is lent to the CardHandles of its driver and device path on the thread
// that holds it; other threads (the card watcher) keep connections of their own. Connections
// nest: an inner one for the same reader is the outer one. Ends on the thread that made it.
class CardConnection {
public:
    CardConnection(CUSBOpKrnl &driver, const std::string &devicePath);
    ~CardConnection();
    CardConnection(const CardConnection &) = delete;
    CardConnection &operator=(const CardConnection &) = delete;

    const CardHandle &handle() const { return handle_; }

private:
    friend class CardHandle;
    // The open handle held on this thread for a driver and device path, -1 when none is.
    static int heldHandle(const CUSBOpKrnl &driver, const std::string &devicePath);

    CUSBOpKrnl &driver_;
    std::string devicePath_;
    CardHandle handle_;
    CardConnection *outer_;
};

} // namespace velnor
