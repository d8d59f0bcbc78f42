#include "app/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velnor {

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

InstanceLock::Result InstanceLock::acquire(const std::filesystem::path &file) {
    if (fd_ >= 0) {
        return Result::Acquired;
    }
    // Close-on-exec, so that a program started from here (the help viewer) cannot inherit the
    // lock and outlive us holding it. A lock file of another user may only be readable, which
    // is enough for flock().
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EACCES) {
        fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        return Result::Unavailable;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::HeldByAnotherCopy : Result::Unavailable;
    }
    fd_ = fd;
    return Result::Acquired;
}

} // namespace velnor
