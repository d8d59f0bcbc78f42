#include <gtest/gtest.h>

#include "base/AtomicFile.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor::test {
namespace {

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

// A write that stops half way (a full disk, here after 4096 bytes) or cannot start (a read-only
// folder) leaves the old file whole and no temporary file behind, and says why.
TEST(AtomicFile, WriteThatCannotFinishLeavesTheOldFile) {
    TempDir dir;
    const std::string old(100, 'o');
    writeFile(dir / "f", old);
    for (const Unwritable place : kUnwritablePlaces) {
        SCOPED_TRACE(describe(place));
        const int status = inUnwritablePlace(
            place, dir.path(),
            [&] {
                std::string error;
                const bool replaced =
                    writeFileAtomically(dir / "f", std::string(10000, 'n'), &error);
                return !replaced && error.find(dir.path().string()) != std::string::npos ? 0 : 1;
            },
            4096);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(dir / "f"), old);
        EXPECT_EQ(filesIn(dir.path()), 1u);
    }
}

TEST(AtomicFile, WriterLeftUncommittedChangesNothing) {
    TempDir dir;
    writeFile(dir / "f", "old");
    {
        AtomicFileWriter writer(dir / "f");
        EXPECT_TRUE(writer.write("new"));
        EXPECT_EQ(filesIn(dir.path()), 2u);
    }
    EXPECT_EQ(readFile(dir / "f"), "old");
    EXPECT_EQ(filesIn(dir.path()), 1u);
    AtomicFileWriter writer(dir / "f");
    EXPECT_TRUE(writer.write("ne") && writer.write("w") && writer.commit());
    EXPECT_FALSE(writer.write("more")) << "a committed file is done";
    EXPECT_EQ(readFile(dir / "f"), "new");
}

} // namespace
} // namespace velnor::test
