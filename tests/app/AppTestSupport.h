#pragma once

#include <filesystem>
#include <string>

#include "app/AppPaths.h"
#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/ConfigKeys.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor::test {

// A pack built from lang/XX.tsv ("en", "de", ...).
inline std::filesystem::path builtPack(const std::string &code) {
    return std::filesystem::path(VELNOR_PACK_DIR) / ("lang_" + code + ".so");
}

// Copies pack into langDir under fileName (default: the pack's own file name).
inline void installPack(const std::filesystem::path &pack, const std::filesystem::path &langDir,
                        const std::string &fileName = std::string()) {
    std::filesystem::copy_file(pack,
                               langDir / (fileName.empty() ? pack.filename().string() : fileName),
                               std::filesystem::copy_options::overwrite_existing);
}

// A portable-style installation in a temporary folder: lang/, velnor.cfg, velnor.config.xml
// and the lock all in one place.
class AppFolder {
public:
    AppFolder() { std::filesystem::create_directories(paths_.langDir); }

    const AppPaths &paths() const { return paths_; }
    const std::filesystem::path &root() const { return dir_.path(); }

    void install(const std::string &code) const { installPack(builtPack(code), paths_.langDir); }
    // One of the odd packs built from tests/app/packs.
    void installTest(const std::string &code) const {
        installPack(std::filesystem::path(VELNOR_TEST_PACK_DIR) / ("lang_" + code + ".so"),
                    paths_.langDir);
    }
    void writeIni(const std::string &text) const {
        writeFile(paths_.resourceDir / config::kIniFileName, text);
    }
    void writeSettings(const std::string &text) const { writeFile(paths_.settingsFile(), text); }
    std::string settingsText() const { return readFile(paths_.settingsFile()); }

    // Readers of the folder's two files, as the program makes them.
    CXMLSettings settings() const {
        CXMLSettings settings;
        settings.SetSettingsFile(paths_.settingsFile().string());
        return settings;
    }
    CIniFile ini() const {
        CIniFile ini(paths_.resourceDir);
        ini.SetFile(config::kIniFileName);
        return ini;
    }
    // A value of the settings file as a fresh reader finds it on disk.
    std::string stored(const std::string &path, const std::string &key) const {
        return settings().GetSettingString(path, key, "<missing>");
    }

private:
    TempDir dir_;
    // A writable program folder keeps everything beside it; the lock goes to the runtime folder.
    AppPaths paths_ = AppPaths::forExecutableDir(
        dir_.path(), [this](const char *) { return std::optional(dir_.path().string()); });
};

} // namespace velnor::test
