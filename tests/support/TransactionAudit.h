#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "reader/SimulatedDriver.h"

namespace velnor::test {

// A simulated reader that checks the card transactions: counts the commands sent outside
// one, and how many transactions are open at any moment.
class TransactionAuditDriver : public SimulatedDriver {
public:
    using SimulatedDriver::SimulatedDriver;

    bool BeginTransaction(int handle) override {
        std::lock_guard lock(mutex_);
        ++depth_[handle];
        return true;
    }
    void EndTransaction(int handle) override {
        std::lock_guard lock(mutex_);
        if (--depth_[handle] < 0) {
            unbalanced_ = true;
        }
    }
    void CloseHandle(int handle) override {
        {
            std::lock_guard lock(mutex_);
            if (depth_[handle] != 0) {
                closedInTransaction_ = true;
            }
            depth_.erase(handle);
        }
        SimulatedDriver::CloseHandle(handle);
    }

    int openTransactions() const {
        std::lock_guard lock(mutex_);
        int open = 0;
        for (const auto &[handle, depth] : depth_) {
            open += depth;
        }
        return open;
    }
    unsigned looseCommands() const {
        std::lock_guard lock(mutex_);
        return loose_;
    }
    bool balanced() const {
        std::lock_guard lock(mutex_);
        return !unbalanced_ && !closedInTransaction_;
    }

protected:
    std::optional<std::vector<uint8_t>> transmit(int handle,
                                                 const std::vector<uint8_t> &command) override {
        {
            std::lock_guard lock(mutex_);
            if (depth_[handle] <= 0) {
                ++loose_;
            }
        }
        return SimulatedDriver::transmit(handle, command);
    }

private:
    mutable std::mutex mutex_;
    std::map<int, int> depth_;
    unsigned loose_ = 0;
    bool unbalanced_ = false;
    bool closedInTransaction_ = false;
};

} // namespace velnor::test
