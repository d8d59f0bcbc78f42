#include <gtest/gtest.h>

#include <map>

#include "AppTestSupport.h"
#include "base/Version.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;

AppPaths::Environment environment(std::map<std::string, std::string> values) {
    return [values](const char *name) -> std::optional<std::string> {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    };
}

TEST(AppPaths, FoldersFollowTheLayoutAndTheEnvironment) {
    for (const test::json &v : test::loadVectors("app/app-paths.json")) {
        SCOPED_TRACE(v.dump());
        test::TempDir dir;
        for (const std::string folder : v.at("folders")) {
            fs::create_directories(dir / folder);
        }
        const AppPaths paths =
            AppPaths::forExecutableDir(dir / v.at("exe").get<std::string>(), environment(v["env"]));
        const std::map<std::string, fs::path> found = {{"resourceDir", paths.resourceDir},
                                                       {"langDir", paths.langDir},
                                                       {"helpDir", paths.helpDir},
                                                       {"dataDir", paths.dataDir},
                                                       {"runtimeDir", paths.runtimeDir}};
        for (const auto &[name, expected] : v.at("paths").items()) {
            std::string path = expected;
            if (const size_t at = path.find("LANGDIR"); at != std::string::npos) {
                path.replace(at, 7, kInstalledLangDir);
            }
            EXPECT_EQ(found.at(name).string(),
                      path.starts_with('@') ? dir.path().string() + path.substr(1) : path)
                << name;
        }
    }
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
