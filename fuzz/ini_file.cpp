// The read-only INI file: any bytes give values or defaults, and a text value never has more
// than 255 characters.

#include <cstdlib>

#include "FuzzFile.h"
#include "app/CIniFile.h"
#include "base/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::filesystem::path file = fuzz::writeInput("velnor.cfg", data, size);
    CIniFile ini(file.parent_path());
    ini.SetFile(file.string());
    ini.ReadInt("Language", "LangID", 1033);
    for (const char *key : {"Name", "AppName", "CompanyName"}) {
        std::string value;
        const size_t count =
            ini.ReadString(key[0] == 'N' ? "Language" : "Customization", key, "", value);
        if (count > CIniFile::kMaxValueCharacters || !isValidUtf8(value)) {
            std::abort();
        }
    }
    return 0;
}
