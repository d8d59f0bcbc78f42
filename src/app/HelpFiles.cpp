#include "app/HelpFiles.h"

namespace velnor {

const char *helpFileName(uint16_t languageId) {
    switch (languageId) {
    case 0x404:
        return "Velnor_tw.html"; // Chinese, traditional
    case 0x407:
        return "Velnor_ge.html";
    case 0x40A:
        return "Velnor_sp.html";
    case 0x40C:
        return "Velnor_fr.html";
    case 0x410:
        return "Velnor_it.html";
    case 0x411:
        return "Velnor_jp.html";
    case 0x413:
        return "Velnor_dt.html"; // Dutch
    case 0x804:
        return "Velnor_cn.html"; // Chinese, simplified
    default:
        return "Velnor_En.html";
    }
}

std::filesystem::path helpFilePath(const std::filesystem::path &helpDir, uint16_t languageId) {
    return helpDir / helpFileName(languageId);
}

} // namespace velnor
