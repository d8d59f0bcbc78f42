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

TEST(AppPaths, BuildTreeKeepsEverythingBesideTheProgram) {
    test::TempDir dir;
    const AppPaths paths = AppPaths::forExecutableDir(
        dir / "bin", environment({{"HOME", "/home/u"}, {"XDG_RUNTIME_DIR", "/run/user/7"}}));
    fs::create_directories(dir / "bin");
    const AppPaths again = AppPaths::forExecutableDir(
        dir / "bin", environment({{"HOME", "/home/u"}, {"XDG_RUNTIME_DIR", "/run/user/7"}}));

    EXPECT_EQ(paths.dataDir, "/home/u/.local/share/velnor") << "a missing folder is not writable";
    EXPECT_EQ(again.resourceDir, dir / "bin");
    EXPECT_EQ(again.langDir, dir / "bin" / "lang");
    EXPECT_EQ(again.helpDir, dir / "bin" / "Help");
    EXPECT_EQ(again.dataDir, dir / "bin");
    EXPECT_EQ(again.runtimeDir, "/run/user/7");
    EXPECT_EQ(again.settingsFile(), dir / "bin" / "velnor.config.xml");
    EXPECT_EQ(again.iniFile(), dir / "bin" / "velnor.cfg");
    EXPECT_EQ(again.fallbackPack(), dir / "bin" / "lang" / "lang_en.so");
    EXPECT_EQ(again.lockFile(), "/run/user/7/Velnor.exe.lock");
}

TEST(AppPaths, InstallationReadsFromShareAndWritesToTheUsersFolder) {
    test::TempDir dir;
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "usr" / "share" / "velnor");
    const auto env = environment({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data"}});
    const AppPaths paths = AppPaths::forExecutableDir(dir / "usr" / "bin", env);

    EXPECT_EQ(paths.resourceDir, dir / "usr" / "share" / "velnor");
    EXPECT_EQ(paths.helpDir, dir / "usr" / "share" / "velnor" / "Help");
    EXPECT_EQ(paths.langDir, dir / "usr" / "lib" / "velnor" / "lang");
    EXPECT_EQ(paths.dataDir, "/data/velnor") << "even when the program's folder is writable";
    EXPECT_EQ(paths.runtimeDir, "/tmp");

    const AppPaths relative = AppPaths::forExecutableDir(
        dir / "usr" / "bin", environment({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "rel"}}));
    EXPECT_EQ(relative.dataDir, "/home/u/.local/share/velnor") << "a relative path is ignored";

    // Without HOME, the user's runtime folder; without that, none: never a shared one like /tmp.
    const auto withoutHome = [&](std::map<std::string, std::string> values) {
        return AppPaths::forExecutableDir(dir / "usr" / "bin", environment(values)).dataDir;
    };
    EXPECT_EQ(withoutHome({{"XDG_RUNTIME_DIR", "/run/user/7"}}), "/run/user/7/velnor");
    EXPECT_EQ(withoutHome({{"HOME", ""}}), fs::path());
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
