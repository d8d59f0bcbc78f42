// The XML configuration file, as a user may have edited or damaged it: reading any key gives a
// value or the default, and a setter afterwards leaves a file that reads back what it stored.

#include <cstdlib>

#include "FuzzFile.h"
#include "app/CXMLSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::filesystem::path file = fuzz::writeInput("velnor.config.xml", data, size);
    CXMLSettings settings;
    settings.SetSettingsFile(file.string());
    settings.GetSettingString("Configuration\\Language", "Name", "");
    settings.GetSettingLong("Configuration\\RunTime", "AlreadyRun", 0);
    settings.GetSettingString("Info", "Title", "");
    if (settings.SetSettingLong("Configuration\\RunTime", "AlreadyRun", 7)) {
        CXMLSettings fresh;
        fresh.SetSettingsFile(file.string());
        if (fresh.GetSettingLong("Configuration\\RunTime", "AlreadyRun", 0) != 7) {
            std::abort();
        }
    }
    return 0;
}
