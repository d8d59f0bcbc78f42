#pragma once

#include <filesystem>
#include <string>

#include "app/AppPaths.h"
#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor::test {

// A pack built from lang/XX.tsv ("en", "de", ...).
std::filesystem::path builtPack(const std::string &code);

// Copies pack into langDir under fileName (default: the pack's own file name).
void installPack(const std::filesystem::path &pack, const std::filesystem::path &langDir,
                 const std::string &fileName = std::string());

// A portable-style installation in a temporary folder: lang/, velnor.cfg, velnor.config.xml
// and the lock all in one place.
class AppFolder {
public:
    AppFolder();

    const AppPaths &paths() const { return paths_; }
    const std::filesystem::path &root() const { return dir_.path(); }

    void install(const std::string &code) const;
    // One of the odd packs built from tests/app/packs.
    void installTest(const std::string &code) const;
    void writeIni(const std::string &text) const;
    void writeSettings(const std::string &text) const;
    std::string settingsText() const;
    // Readers of the folder's two files, as the program makes them.
    CXMLSettings settings() const;
    CIniFile ini() const;
    // A value of the settings file as a fresh reader finds it on disk.
    std::string stored(const std::string &path, const std::string &key) const {
        return settings().GetSettingString(path, key, "<missing>");
    }

private:
    TempDir dir_;
    AppPaths paths_;
};

} // namespace velnor::test
