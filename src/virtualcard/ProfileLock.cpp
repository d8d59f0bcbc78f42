#include "virtualcard/ProfileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace velnor {

namespace fs = std::filesystem;

namespace {

bool sameFile(int fd, const fs::path &path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

int lockNow(int fd) {
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    return locked;
}

} // namespace

ProfileLock::~ProfileLock() {
    release();
}

ProfileLock::ProfileLock(ProfileLock &&other) noexcept
    : fd_(std::exchange(other.fd_, -1)), file_(std::move(other.file_)) {}

ProfileLock &ProfileLock::operator=(ProfileLock &&other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        file_ = std::move(other.file_);
    }
    return *this;
}

void ProfileLock::release() {
    if (fd_ < 0) {
        return;
    }
    // Removed while still held, so that no program can lock the name between the two steps; one
    // that opened it just before finds it gone after locking, and tries again.
    if (!file_.empty()) {
        ::unlink(file_.c_str());
    }
    ::close(fd_);
    fd_ = -1;
}

bool ProfileLock::take(const fs::path &profile, std::string &error, ProfileFault &fault) {
    release();
    std::error_code failure;
    const fs::path real = fs::canonical(profile, failure);
    if (failure || !fs::is_regular_file(real, failure)) {
        return true; // nothing that a save could replace; reading it says what it is
    }
    const fs::path beside = real.parent_path() / ("." + real.filename().string() + ".lock");
    // A lock file removed by its last holder between our open and our lock is no lock: try
    // again with the name as it is now.
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path file = beside;
        int fd = ::open(beside.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && (errno == EACCES || errno == EROFS)) {
            file.clear();
            fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd < 0) {
            error = "The card profile " + profile.string() +
                    " cannot be locked: " + std::strerror(errno) + ".";
            fault = ProfileFault::Unreadable;
            return false;
        }
        if (lockNow(fd) != 0) {
            const int code = errno;
            ::close(fd);
            fault = code == EWOULDBLOCK ? ProfileFault::InUse : ProfileFault::Unreadable;
            error = code == EWOULDBLOCK
                        ? "The card profile " + profile.string() +
                              " is in use by another program; try again when it has finished."
                        : "The card profile " + profile.string() +
                              " cannot be locked: " + std::strerror(code) + ".";
            return false;
        }
        if (file.empty() || sameFile(fd, file)) {
            fd_ = fd;
            file_ = std::move(file);
            return true;
        }
        ::close(fd);
    }
    error = "The card profile " + profile.string() + " cannot be locked.";
    fault = ProfileFault::Unreadable;
    return false;
}

} // namespace velnor
