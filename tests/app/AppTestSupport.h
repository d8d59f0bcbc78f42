#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/AppPaths.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor::test {

// A pack built from lang/XX.tsv ("en", "de", ...) or one of the test packs under tests/app/packs.
std::filesystem::path builtPack(const std::string &code);
std::filesystem::path testPack(const std::string &code);

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

    void install(const std::string &code) { installPack(builtPack(code), paths_.langDir); }
    void installTest(const std::string &code) { installPack(testPack(code), paths_.langDir); }
    void writeIni(const std::string &text) const;
    void writeSettings(const std::string &text) const;
    std::string settingsText() const;
    bool settingsExist() const;

    // A value of the settings file as a fresh reader sees it on disk.
    std::string stored(const std::string &path, const std::string &key) const;
    long storedLong(const std::string &path, const std::string &key, long missing = -999) const;

private:
    TempDir dir_;
    AppPaths paths_;
};

} // namespace velnor::test
