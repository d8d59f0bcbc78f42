#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velnor {

namespace {

std::filesystem::path folderOf(const std::filesystem::path &path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path, Durability durability)
    : path_(std::move(path)), synced_(durability == Durability::Synced) {
    const std::filesystem::path folder = folderOf(path_);
    temporary_ = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkstemp(temporary_.data());
    if (fd_ < 0) {
        fail("cannot create a file in " + folder.string(), errno);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

bool AtomicFileWriter::fail(const std::string &what, int code) {
    if (error_.empty()) {
        error_ = what + ": " + std::strerror(code);
    }
    discard();
    return false;
}

void AtomicFileWriter::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
        fd_ = -1;
    }
}

bool AtomicFileWriter::write(std::string_view piece) {
    while (fd_ >= 0 && !piece.empty()) {
        const ssize_t written = ::write(fd_, piece.data(), piece.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("cannot write " + path_.string(), errno);
        }
        piece.remove_prefix(static_cast<size_t>(written));
    }
    return fd_ >= 0;
}

bool AtomicFileWriter::commit() {
    if (fd_ < 0) {
        return false;
    }
    struct stat existing {};
    const mode_t mode = ::stat(path_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    if (::fchmod(fd_, mode) != 0 || (synced_ && ::fsync(fd_) != 0)) {
        return fail("cannot write " + path_.string(), errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary_.c_str());
        return fail("cannot write " + path_.string(), code);
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary_.c_str());
        return fail("cannot replace " + path_.string(), code);
    }
    // Make the rename itself durable.
    const int dir = synced_ ? ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY) : -1;
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool writeFileAtomically(const std::filesystem::path &path, std::string_view content,
                         std::string *error, Durability durability) {
    return writeFileAtomically(
        path, [content](const PieceWriter &write) { return write(content); }, error, durability);
}

bool writeFileAtomically(const std::filesystem::path &path,
                         const std::function<bool(const PieceWriter &write)> &produce,
                         std::string *error, Durability durability) {
    AtomicFileWriter writer(path, durability);
    const bool done = produce([&writer](std::string_view piece) { return writer.write(piece); }) &&
                      writer.commit();
    if (!done && error != nullptr) {
        *error = writer.failed() ? writer.error() : "cannot write " + path.string();
    }
    return done;
}

} // namespace velnor
