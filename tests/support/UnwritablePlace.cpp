#include "support/UnwritablePlace.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velnor::test {

namespace fs = std::filesystem;

std::string describe(Unwritable place) {
    static const char *const names[] = {"full disk", "read-only folder", "read-only files"};
    return names[static_cast<int>(place)];
}

int runInChild(const std::function<int()> &body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool becomeUnprivileged() {
    constexpr uid_t kNobody = 65534;
    return ::geteuid() != 0 || (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
}

int inUnwritablePlace(Unwritable place, const fs::path &folder, const std::function<int()> &body,
                      size_t room) {
    if (place == Unwritable::FullDisk) {
        return runInChild([&] {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
            const rlimit limit{room, room};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? body() : kPlaceNotSetUp;
        });
    }
    const fs::perms readOnly =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    // A folder anyone may change could have any of its files renamed over: only the files' own
    // modes keep them.
    std::vector<std::pair<fs::path, fs::perms>> files;
    if (place == Unwritable::ReadOnlyFiles) {
        for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
            files.emplace_back(entry.path(), entry.status().permissions());
            fs::permissions(entry.path(), readOnly);
        }
    }
    fs::permissions(folder, place == Unwritable::ReadOnlyFiles ? fs::perms::all : readOnly | exec);
    const int status = runInChild([&] { return becomeUnprivileged() ? body() : kPlaceNotSetUp; });
    fs::permissions(folder, fs::perms::owner_all);
    for (const auto &[file, mode] : files) {
        fs::permissions(file, mode);
    }
    return status;
}

} // namespace velnor::test
