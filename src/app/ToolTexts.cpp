#include "app/ToolTexts.h"

#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/ConfigKeys.h"
#include "app/PackTexts.h"
#include "app/StartUp.h"

namespace velnor {

std::unique_ptr<Texts> loadToolTexts(const AppPaths &paths) {
    CXMLSettings settings;
    settings.SetSettingsFile(paths.settingsFile().string());
    CIniFile ini(paths.resourceDir);
    ini.SetFile(config::kIniFileName);

    const LanguageChoice choice = ChooseLanguage(settings, ini, paths);
    auto texts = std::make_unique<PackTexts>();
    if (texts->load(choice.packFile) || texts->load(paths.fallbackPack())) {
        return texts;
    }
    return std::make_unique<BuiltinEnglishTexts>();
}

} // namespace velnor
