#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "app/InstanceLock.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

using Result = InstanceLock::Result;

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    test::TempDir dir;
    const auto file = dir / "Velnor.exe.lock";
    auto first = std::make_unique<InstanceLock>();
    ASSERT_EQ(first->acquire(file), Result::Acquired);
    EXPECT_EQ(first->acquire(file), Result::Acquired) << "taking it again is harmless";

    InstanceLock second;
    EXPECT_EQ(second.acquire(file), Result::HeldByAnotherCopy);
    EXPECT_FALSE(second.held());
    first.reset();
    EXPECT_EQ(second.acquire(file), Result::Acquired);
}

// The lock of a process that dies without cleaning up is released by the kernel.
TEST(InstanceLock, LockOfAKilledProcessIsTakenOver) {
    test::TempDir dir;
    const auto file = dir / "Velnor.exe.lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        InstanceLock lock;
        const char state = lock.acquire(file) == Result::Acquired ? 'y' : 'n';
        (void)!::write(ready[1], &state, 1);
        ::pause();
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    ASSERT_EQ(state, 'y');

    InstanceLock mine;
    EXPECT_EQ(mine.acquire(file), Result::HeldByAnotherCopy);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.acquire(file), Result::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLock, MissingFolderMakesTheLockUnavailable) {
    test::TempDir dir;
    InstanceLock lock;
    EXPECT_EQ(lock.acquire(dir / "no" / "Velnor.exe.lock"), Result::Unavailable);
    EXPECT_FALSE(lock.held());
}

} // namespace
} // namespace velnor
