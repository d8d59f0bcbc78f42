#include "app/AppPaths.h"

#include "base/AtomicFile.h"
#include "base/Version.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace velnor {

namespace fs = std::filesystem;

namespace {

bool isDirectory(const fs::path &path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

bool isWritableDirectory(const fs::path &path) {
    return isDirectory(path) && ::access(path.c_str(), W_OK) == 0;
}

std::optional<std::string> processEnvironment(const char *name) {
    const char *value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

fs::path userDataDir(const AppPaths::Environment &environment) {
    // An empty or relative XDG_DATA_HOME is to be ignored (the XDG base directory rules).
    if (const auto xdg = environment("XDG_DATA_HOME"); xdg && fs::path(*xdg).is_absolute()) {
        return fs::path(*xdg) / "velnor";
    }
    if (const auto home = environment("HOME"); home && fs::path(*home).is_absolute()) {
        return fs::path(*home) / ".local" / "share" / "velnor";
    }
    // Never a shared folder such as /tmp, where others could read the backups or plant files:
    // the runtime folder is the user's own, and without one there is no data folder at all.
    if (const auto runtime = environment("XDG_RUNTIME_DIR");
        runtime && fs::path(*runtime).is_absolute()) {
        return fs::path(*runtime) / "velnor";
    }
    return {};
}

fs::path runtimeDirFrom(const AppPaths::Environment &environment) {
    if (const auto xdg = environment("XDG_RUNTIME_DIR"); xdg && fs::path(*xdg).is_absolute()) {
        return fs::path(*xdg);
    }
    return fs::path("/tmp");
}

} // namespace

fs::path executableDirectory() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return fs::current_path(error);
    }
    return self.parent_path();
}

AppPaths AppPaths::forExecutableDir(const fs::path &executableDir, const Environment &environment) {
    AppPaths paths;
    paths.executableDir = executableDir;
    paths.runtimeDir = runtimeDirFrom(environment);

    const fs::path prefix = executableDir.parent_path();
    const bool installed =
        executableDir.filename() == "bin" && isDirectory(prefix / "share" / "velnor");
    if (installed) {
        paths.resourceDir = prefix / "share" / "velnor";
        paths.langDir = prefix / kInstalledLangDir;
        paths.helpDir = paths.resourceDir / "help";
        paths.dataDir = userDataDir(environment);
    } else {
        paths.resourceDir = executableDir;
        paths.langDir = executableDir / "lang";
        paths.helpDir = executableDir / "Help";
        paths.dataDir =
            isWritableDirectory(executableDir) ? executableDir : userDataDir(environment);
    }
    return paths;
}

AppPaths AppPaths::forRunningProgram() {
    AppPaths paths = forExecutableDir(executableDirectory(), processEnvironment);
    if (!paths.dataDir.empty()) {
        makePrivateFolder(paths.dataDir); // one that cannot be made shows up as a failed save
    }
    return paths;
}

} // namespace velnor
