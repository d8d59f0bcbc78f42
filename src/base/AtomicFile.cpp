#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velnor {

namespace {

bool fail(std::string *error, const std::string &what, int code) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(code);
    }
    return false;
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path &path, std::string_view content,
                         std::string *error, Durability durability) {
    return writeFileAtomically(
        path, [content](const PieceWriter &write) { return write(content); }, error, durability);
}

bool writeFileAtomically(const std::filesystem::path &path,
                         const std::function<bool(const PieceWriter &write)> &produce,
                         std::string *error, Durability durability) {
    const bool synced = durability == Durability::Synced;
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return fail(error, "cannot create a file in " + folder.string(), errno);
    }
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    const bool written = produce([fd](std::string_view piece) { return writeAll(fd, piece); });
    if (!written || ::fchmod(fd, mode) != 0 || (synced && ::fsync(fd) != 0)) {
        const int code = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return fail(error, "cannot write " + path.string(), code);
    }
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail(error, "cannot write " + path.string(), code);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return fail(error, "cannot replace " + path.string(), code);
    }
    // Make the rename itself durable.
    const int dir = synced ? ::open(folder.c_str(), O_RDONLY | O_DIRECTORY) : -1;
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace velnor
