#include "base/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velnor {

namespace fs = std::filesystem;

namespace {

fs::path folderOf(const fs::path &path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// A name in /proc stands for a file a process has open (/dev/stdout and /dev/fd/N lead there),
// not for a name in a folder that could be replaced.
bool namesAnOpenFile(const fs::path &path) {
    return path.lexically_normal().string().starts_with("/proc/");
}

// The name a save replaces: links followed to the file they lead to, as far as the system
// itself would follow them (Linux gives up after 40).
fs::path followLinks(fs::path path) {
    for (int hop = 0; hop < 40 && !namesAnOpenFile(path); ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            break;
        }
        std::error_code error;
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : folderOf(path) / target;
    }
    return path;
}

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(now % 1000000007);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(fs::path path, Durability durability)
    : path_(std::move(path)), target_(followLinks(path_)),
      synced_(durability == Durability::Synced) {
    struct stat info {};
    const bool exists = ::stat(path_.c_str(), &info) == 0;
    const bool regular = exists && S_ISREG(info.st_mode);
    if (namesAnOpenFile(target_) || (exists && !regular && !S_ISDIR(info.st_mode))) {
        openStream(regular);
        return;
    }
    if (regular && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
        fail("cannot write " + path_.string(), errno);
        return;
    }
    const Kept kept{info.st_mode, info.st_uid, info.st_gid};
    createTemporary(regular ? &kept : nullptr);
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

void AtomicFileWriter::openStream(bool regularFile) {
    stream_ = true;
    // A file behind /dev/stdout is the caller's standard output: what it holds stays before.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (regularFile ? O_APPEND : 0));
    if (fd_ < 0) {
        fail("cannot write " + path_.string(), errno);
    }
}

void AtomicFileWriter::createTemporary(const Kept *existing) {
    const fs::path folder = folderOf(target_);
    const mode_t wanted = existing != nullptr ? existing->mode & 0777 : 0600;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = (folder / ("." + target_.filename().string() + "." + uniqueSuffix())).string();
        // Created with its final mode, which the umask (or the folder's default ACL) may only
        // narrow: never open to others for a moment in which they could open it too.
        fd_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, wanted);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    struct stat created {};
    if (fd_ < 0 || ::fstat(fd_, &created) != 0) {
        fail("cannot create a file in " + folder.string(), errno);
        return;
    }
    if (existing != nullptr &&
        (existing->owner != created.st_uid || existing->group != created.st_gid)) {
        if (::fchown(fd_, existing->owner, existing->group) != 0) {
            // Only root may give a file away: the user's own replacement is theirs.
        }
    }
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
        if (!stream_) {
            ::unlink(temporary_.c_str());
        }
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
    // A pipe or a device cannot be synced (EINVAL); what it was given is all it gets.
    if (synced_ && ::fsync(fd_) != 0 && !(stream_ && errno == EINVAL)) {
        return fail("cannot write " + path_.string(), errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int code = errno;
        if (!stream_) {
            ::unlink(temporary_.c_str());
        }
        return fail("cannot write " + path_.string(), code);
    }
    if (stream_) {
        return true;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary_.c_str());
        return fail("cannot replace " + path_.string(), code);
    }
    // Make the rename itself durable.
    const int dir = synced_ ? ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY) : -1;
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool writeFileAtomically(const fs::path &path, std::string_view content, std::string *error,
                         Durability durability) {
    return writeFileAtomically(
        path, [content](const PieceWriter &write) { return write(content); }, error, durability);
}

bool writeFileAtomically(const fs::path &path,
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

bool makePrivateFolder(const fs::path &folder, std::string *error) {
    fs::path made;
    for (const fs::path &part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
            if (error != nullptr) {
                *error = "cannot make the folder " + made.string() + ": " + std::strerror(errno);
            }
            return false;
        }
    }
    std::error_code ignored;
    if (!fs::is_directory(folder, ignored)) {
        if (error != nullptr) {
            *error = folder.string() + " is not a folder";
        }
        return false;
    }
    return true;
}

} // namespace velnor
