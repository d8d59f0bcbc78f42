#pragma once

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// One transaction on a card handle, ended on every way out of a scope; end() ends it early,
// for example before a question to the user.
class CardTransaction {
public:
    CardTransaction(CUSBOpKrnl &driver, int handle) : driver_(driver), handle_(handle) {
        if (handle_ != -1) {
            driver_.BeginTransaction(handle_);
        }
    }
    ~CardTransaction() { end(); }
    CardTransaction(const CardTransaction &) = delete;
    CardTransaction &operator=(const CardTransaction &) = delete;

    void end() {
        if (handle_ != -1) {
            driver_.EndTransaction(handle_);
            handle_ = -1;
        }
    }

private:
    CUSBOpKrnl &driver_;
    int handle_;
};

} // namespace velnor
