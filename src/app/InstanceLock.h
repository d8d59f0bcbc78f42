#pragma once

#include <filesystem>

namespace velnor {

// The single-instance lock: an exclusive flock() on a lock file. The kernel lets go of it when
// the holder exits in any way, so a crashed copy never blocks the next start.
class InstanceLock {
public:
    enum class Result {
        Acquired,
        HeldByAnotherCopy,
        // The lock file cannot be opened; the start goes on without a lock, as it would if
        // the platform could not make its named mutex.
        Unavailable,
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    Result acquire(const std::filesystem::path &file);
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace velnor
