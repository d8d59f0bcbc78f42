#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "base/AtomicFile.h"
#include "support/TempDir.h"
#include "support/TestVectors.h"
#include "support/UnwritablePlace.h"

namespace velnor::test {
namespace {

TEST(AtomicFile, ReplacesOnCommitOnlyAndLeavesNothingBehind) {
    TempDir dir;
    writeFile(dir / "f", "old");
    {
        AtomicFileWriter writer(dir / "f");
        EXPECT_TRUE(writer.write("new"));
        EXPECT_EQ(filesIn(dir.path()), 2u);
    }
    EXPECT_EQ(readFile(dir / "f"), "old");
    EXPECT_EQ(filesIn(dir.path()), 1u);
    for (const Durability durability : {Durability::Synced, Durability::Replaced}) {
        const std::string content = durability == Durability::Synced ? "synced" : "replaced";
        AtomicFileWriter writer(dir / "f", durability);
        EXPECT_TRUE(writer.write(content.substr(0, 2)) && writer.write(content.substr(2)) &&
                    writer.commit());
        EXPECT_FALSE(writer.write("more")) << "a committed file is done";
        EXPECT_EQ(readFile(dir / "f"), content);
        EXPECT_EQ(filesIn(dir.path()), 1u);
    }
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "f", "x", &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

// A write that stops half way (a full disk, here after 4096 bytes) or cannot start (a read-only
// folder, a read-only file in a folder that would allow the rename) leaves the old file whole and
// no temporary file behind, and says why.
TEST(AtomicFile, WriteThatCannotFinishLeavesTheOldFile) {
    TempDir dir;
    const std::string old(100, 'o');
    writeFile(dir / "f", old);
    for (const Unwritable place : kUnwritableFiles) {
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

// A new file is its owner's alone; an existing one keeps its mode; neither is wider than the
// umask allows. Folders are made for their owner alone.
TEST(AtomicFile, ModeIsNeverWiderThanTheOwnersOrTheUmask) {
    TempDir dir;
    const auto file = dir / "f";
    const auto octal = [](const json &v, const char *name) {
        return static_cast<mode_t>(std::stoul(v.value(name, "-1"), nullptr, 8));
    };
    for (const json &c : loadVectors("base/file-modes.json")) {
        SCOPED_TRACE(c.dump());
        std::filesystem::remove(file);
        if (c.contains("existing")) {
            writeFile(file, "old");
            ASSERT_EQ(::chmod(file.c_str(), octal(c, "existing")), 0);
        }
        const mode_t old = ::umask(octal(c, "umask"));
        EXPECT_TRUE(writeFileAtomically(file, "new"));
        ::umask(old);
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, octal(c, "mode"));
    }
    ASSERT_TRUE(makePrivateFolder(dir / "a" / "b"));
    for (const auto &folder : {dir / "a", dir / "a" / "b"}) {
        struct stat info {};
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
    }
}

// As with the shell's ">": a pipe, a device or a process's open file (/dev/fd/N) is written into,
// and a symbolic link stays a link to the file that is replaced.
TEST(AtomicFile, SaveKeepsWhatTheNameStandsFor) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const int fifo = ::open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    // A null device of its own, so that a fault here never replaces the system's.
    ASSERT_EQ(::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    writeFile(dir / "target", "old");
    std::filesystem::create_symlink("target", dir / "link");
    const std::filesystem::path paths[] = {dir / "fifo", dir / "null", dir / "link",
                                           "/dev/fd/" + std::to_string(pipe[1])};
    for (const auto &path : paths) {
        SCOPED_TRACE(path);
        const auto type = std::filesystem::symlink_status(path).type();
        std::string error;
        EXPECT_TRUE(writeFileAtomically(path, "new", &error)) << error;
        EXPECT_EQ(std::filesystem::symlink_status(path).type(), type);
    }
    ::close(pipe[1]);
    for (const int fd : {fifo, pipe[0]}) {
        char got[8] = {};
        EXPECT_EQ(std::string(got, std::max<ssize_t>(::read(fd, got, sizeof got), 0)), "new");
        ::close(fd);
    }
    EXPECT_EQ(readFile(dir / "target"), "new");
    EXPECT_EQ(filesIn(dir.path()), 4u) << "no temporary file left";
}

} // namespace
} // namespace velnor::test
