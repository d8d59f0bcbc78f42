#include "AppTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include "app/CXMLSettings.h"

namespace velnor::test {

namespace fs = std::filesystem;

fs::path builtPack(const std::string &code) {
    return fs::path(VELNOR_PACK_DIR) / ("lang_" + code + ".so");
}

fs::path testPack(const std::string &code) {
    return fs::path(VELNOR_TEST_PACK_DIR) / ("lang_" + code + ".so");
}

void installPack(const fs::path &pack, const fs::path &langDir, const std::string &fileName) {
    fs::create_directories(langDir);
    fs::copy_file(pack, langDir / (fileName.empty() ? pack.filename().string() : fileName),
                  fs::copy_options::overwrite_existing);
}

AppFolder::AppFolder() : paths_(AppPaths::inOneFolder(dir_.path())) {
    fs::create_directories(paths_.langDir);
}

void AppFolder::writeIni(const std::string &text) const {
    writeFile(paths_.iniFile(), text);
}

void AppFolder::writeSettings(const std::string &text) const {
    writeFile(paths_.settingsFile(), text);
}

std::string AppFolder::settingsText() const {
    return readFile(paths_.settingsFile());
}

bool AppFolder::settingsExist() const {
    return fs::exists(paths_.settingsFile());
}

std::string AppFolder::stored(const std::string &path, const std::string &key) const {
    CXMLSettings reader;
    reader.SetSettingsFile(paths_.settingsFile().string());
    return reader.GetSettingString(path, key, "<missing>");
}

long AppFolder::storedLong(const std::string &path, const std::string &key, long missing) const {
    CXMLSettings reader;
    reader.SetSettingsFile(paths_.settingsFile().string());
    return reader.GetSettingLong(path, key, missing);
}

} // namespace velnor::test
