#include "reader/CardHandle.h"

namespace velnor {

namespace {

// The innermost connection held on this thread; each links to the one held before it.
thread_local CardConnection *innermost = nullptr;

} // namespace

CardHandle::CardHandle(CUSBOpKrnl &driver, const std::string &devicePath) : driver_(driver) {
    handle_ = CardConnection::heldHandle(driver, devicePath);
    if (handle_ == -1) {
        handle_ = driver.OpenRX730X(devicePath);
        owned_ = true;
    }
}

void CardHandle::release() {
    if (handle_ != -1 && owned_) {
        driver_.CloseHandle(handle_);
    }
    handle_ = -1;
}

CardConnection::CardConnection(CUSBOpKrnl &driver, const std::string &devicePath)
    : driver_(driver), devicePath_(devicePath), handle_(driver, devicePath), outer_(innermost) {
    innermost = this;
}

CardConnection::~CardConnection() {
    for (CardConnection **link = &innermost; *link != nullptr; link = &(*link)->outer_) {
        if (*link == this) {
            *link = outer_;
            break;
        }
    }
}

int CardConnection::heldHandle(const CUSBOpKrnl &driver, const std::string &devicePath) {
    for (const CardConnection *held = innermost; held != nullptr; held = held->outer_) {
        if (&held->driver_ == &driver && held->devicePath_ == devicePath &&
            held->handle_.isOpen()) {
            return held->handle_.get();
        }
    }
    return -1;
}

} // namespace velnor
