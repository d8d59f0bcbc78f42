#include "AppTestSupport.h"

#include "app/ConfigKeys.h"

namespace velnor::test {

namespace fs = std::filesystem;

fs::path builtPack(const std::string &code) {
    return fs::path(VELNOR_PACK_DIR) / ("lang_" + code + ".so");
}

void installPack(const fs::path &pack, const fs::path &langDir, const std::string &fileName) {
    fs::create_directories(langDir);
    fs::copy_file(pack, langDir / (fileName.empty() ? pack.filename().string() : fileName),
                  fs::copy_options::overwrite_existing);
}

AppFolder::AppFolder() : paths_(AppPaths::inOneFolder(dir_.path())) {
    fs::create_directories(paths_.langDir);
}

void AppFolder::install(const std::string &code) const {
    installPack(builtPack(code), paths_.langDir);
}

void AppFolder::installTest(const std::string &code) const {
    installPack(fs::path(VELNOR_TEST_PACK_DIR) / ("lang_" + code + ".so"), paths_.langDir);
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

CXMLSettings AppFolder::settings() const {
    CXMLSettings settings;
    settings.SetSettingsFile(paths_.settingsFile().string());
    return settings;
}

CIniFile AppFolder::ini() const {
    CIniFile ini(paths_.resourceDir);
    ini.SetFile(config::kIniFileName);
    return ini;
}

} // namespace velnor::test
