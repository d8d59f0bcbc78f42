#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace velnor {

// Where the program finds what it reads and puts what it writes.
//
// Two layouts are recognised:
//  - build tree or portable folder: everything sits beside the executable (lang/, Help/,
//    logo.bmp, velnor.cfg), and the written files go there too while that folder is writable;
//  - installation: an executable in PREFIX/bin with PREFIX/share/velnor present takes its
//    read-only files from PREFIX/share/velnor (the help in its help/), its language packs from
//    PREFIX/lib/<multiarch>/velnor/lang (they are machine code; kInstalledLangDir) and always
//    writes into the user's data folder, never under PREFIX.
// The user's data folder is $XDG_DATA_HOME/velnor, by default ~/.local/share/velnor; without
// HOME it is $XDG_RUNTIME_DIR/velnor, and without that there is none (dataDir is empty and
// noDataFolder says why). It is made for the user alone (0700).
struct AppPaths {
    std::filesystem::path executableDir;
    std::filesystem::path resourceDir; // velnor.cfg, logo.bmp
    std::filesystem::path langDir;     // language packs
    std::filesystem::path helpDir;     // HTML help
    std::filesystem::path dataDir;     // velnor.config.xml, Phone.fph, Message.fsm; may be empty
    std::filesystem::path runtimeDir;  // the single-instance lock

    // Reads an environment variable; empty optional when it is not set.
    using Environment = std::function<std::optional<std::string>(const char *)>;

    // The paths of the running program, from /proc/self/exe and the process environment.
    // Creates the data folder when it is missing.
    static AppPaths forRunningProgram();
    // The same decision for an executable in executableDir with the given environment.
    static AppPaths forExecutableDir(const std::filesystem::path &executableDir,
                                     const Environment &environment);

    std::filesystem::path settingsFile() const { return dataDir / "velnor.config.xml"; }
    std::filesystem::path fallbackPack() const { return langDir / "lang_en.so"; }
    std::filesystem::path lockFile() const { return runtimeDir / "Velnor.exe.lock"; }
    std::filesystem::path logoFile() const { return resourceDir / "logo.bmp"; }

    // Why there is no data folder.
    static constexpr const char *noDataFolder =
        "There is no folder of your own for the settings and backups: set HOME.";
};

// The directory of the running binary, without a trailing separator.
std::filesystem::path executableDirectory();

} // namespace velnor
