#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/AtomicFile.h"
#include "support/TempDir.h"

namespace velnor::test {
namespace {

size_t filesIn(const std::filesystem::path &dir) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                             std::filesystem::directory_iterator()));
}

TEST(AtomicFile, ReplacesKeepingPermissionsAndLeavesNothingBehind) {
    TempDir dir;
    writeFile(dir / "f", "old");
    std::filesystem::permissions(dir / "f", std::filesystem::perms::owner_read |
                                                std::filesystem::perms::owner_write);
    for (const Durability durability : {Durability::Synced, Durability::Replaced}) {
        std::string error;
        ASSERT_TRUE(writeFileAtomically(dir / "f", "new content", &error, durability)) << error;
        EXPECT_EQ(readFile(dir / "f"), "new content");
        EXPECT_EQ(filesIn(dir.path()), 1u);
        EXPECT_EQ(std::filesystem::status(dir / "f").permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "f", "x", &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

// A write that stops half way (here at the file size limit, as on a full disk) leaves the old
// file whole and no temporary file behind.
TEST(AtomicFile, WriteStoppedHalfWayLeavesTheOldFile) {
    TempDir dir;
    const std::string old(100, 'o');
    writeFile(dir / "f", old);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool replaced = writeFileAtomically(dir / "f", std::string(10000, 'n'), &error);
        ::_exit(!replaced && error.find("cannot write") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readFile(dir / "f"), old);
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

} // namespace
} // namespace velnor::test
