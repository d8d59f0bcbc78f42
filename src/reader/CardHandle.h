#pragma once

#include <string>

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// One device handle of the driver, released on every way out of a card operation.
class CardHandle {
public:
    CardHandle(CUSBOpKrnl &driver, const std::string &devicePath)
        : driver_(driver), handle_(driver.OpenRX730X(devicePath)) {}
    ~CardHandle() { release(); }
    CardHandle(const CardHandle &) = delete;
    CardHandle &operator=(const CardHandle &) = delete;

    bool isOpen() const { return handle_ != -1; }
    int get() const { return handle_; }
    void release() {
        if (handle_ != -1) {
            driver_.CloseHandle(handle_);
            handle_ = -1;
        }
    }

private:
    CUSBOpKrnl &driver_;
    int handle_;
};

} // namespace velnor
