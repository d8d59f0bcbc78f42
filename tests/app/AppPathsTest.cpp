#include <gtest/gtest.h>

#include <map>

#include "AppTestSupport.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;

AppPaths::Environment environment(std::map<std::string, std::string> values) {
    return [values](const char *name) -> std::optional<std::string> {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    };
}

TEST(AppPaths, BuildTreeKeepsEverythingBesideTheProgramWhileItIsWritable) {
    test::TempDir dir;
    const auto env = environment({{"HOME", "/home/u"}, {"XDG_RUNTIME_DIR", "/run/user/7"}});
    EXPECT_EQ(AppPaths::forExecutableDir(dir / "bin", env).dataDir, "/home/u/.local/share/velnor")
        << "a missing folder is not writable";
    fs::create_directories(dir / "bin");
    const AppPaths paths = AppPaths::forExecutableDir(dir / "bin", env);
    EXPECT_EQ(paths.resourceDir, dir / "bin");
    EXPECT_EQ(paths.langDir, dir / "bin" / "lang");
    EXPECT_EQ(paths.helpDir, dir / "bin" / "Help");
    EXPECT_EQ(paths.dataDir, dir / "bin");
    EXPECT_EQ(paths.runtimeDir, "/run/user/7");
}

TEST(AppPaths, InstallationReadsFromShareAndWritesToTheUsersFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "usr" / "share" / "velnor");
    const auto at = [&](std::map<std::string, std::string> values) {
        return AppPaths::forExecutableDir(dir / "usr" / "bin", environment(values));
    };
    const AppPaths paths = at({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data"}});
    EXPECT_EQ(paths.resourceDir, dir / "usr" / "share" / "velnor");
    EXPECT_EQ(paths.helpDir, dir / "usr" / "share" / "velnor" / "Help");
    EXPECT_EQ(paths.langDir, dir / "usr" / "lib" / "velnor" / "lang");
    EXPECT_EQ(paths.dataDir, "/data/velnor") << "even when the program's folder is writable";
    EXPECT_EQ(paths.runtimeDir, "/tmp");
    EXPECT_EQ(at({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "rel"}}).dataDir,
              "/home/u/.local/share/velnor")
        << "a relative path is ignored";
    // Without HOME, the user's runtime folder; without that, none: never a shared one like /tmp.
    EXPECT_EQ(at({{"XDG_RUNTIME_DIR", "/run/user/7"}}).dataDir, "/run/user/7/velnor");
    EXPECT_EQ(at({{"HOME", ""}}).dataDir, fs::path());
}

TEST(AppPaths, ReadOnlyProgramFolderWritesToTheUsersFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "portable");
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(dir / "portable", fs::perms::owner_read | fs::perms::owner_exec |
                                          fs::perms::others_read | fs::perms::others_exec);
    const int status = test::runInChild([&dir] {
        if (!test::becomeUnprivileged()) {
            return test::kPlaceNotSetUp;
        }
        const AppPaths paths = AppPaths::forExecutableDir(
            dir / "portable", environment({{"XDG_DATA_HOME", "/somewhere"}}));
        return paths.dataDir == "/somewhere/velnor" && paths.resourceDir == dir / "portable" ? 0
                                                                                             : 1;
    });
    ASSERT_NE(status, test::kPlaceNotSetUp) << "cannot drop root rights here";
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace velnor
