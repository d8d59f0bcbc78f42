#include <gtest/gtest.h>

#include "app/InstanceLock.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

using Result = InstanceLock::Result;

// flock(): the kernel lets go of the lock however its holder ends.
TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGoOrItsFolderIsMissing) {
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

    InstanceLock nowhere;
    EXPECT_EQ(nowhere.acquire(dir / "no" / "Velnor.exe.lock"), Result::Unavailable);
    EXPECT_FALSE(nowhere.held());
}

} // namespace
} // namespace velnor
