#include "simcard/AtomicReplace.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velnor {

namespace {

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::filesystem::path temporaryBeside(const std::filesystem::path &path) {
    static std::atomic<unsigned> counter{0};
    return path.parent_path() / ("." + path.filename().string() + ".tmp-" +
                                 std::to_string(::getpid()) + "-" + std::to_string(++counter));
}

bool failed(std::string &error, const std::string &what) {
    error = what + ": " + std::strerror(errno) + ".";
    return false;
}

} // namespace

bool replaceFileAtomically(const std::filesystem::path &path, std::string_view content,
                           std::string &error) {
    const std::filesystem::path temporary = temporaryBeside(path);
    // A new file gets the mode the umask leaves of 0666, like any file the user creates.
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return failed(error, "Cannot create a file beside " + path.string());
    }
    struct stat existing {};
    const bool keepMode = ::stat(path.c_str(), &existing) == 0;
    bool written = writeAll(fd, content) &&
                   (!keepMode || ::fchmod(fd, existing.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    int code = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        errno = code;
        return failed(error, "Cannot write " + path.string());
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        errno = code;
        return failed(error, "Cannot replace " + path.string());
    }
    return true;
}

} // namespace velnor
