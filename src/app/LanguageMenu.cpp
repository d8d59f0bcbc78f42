#include "app/LanguageMenu.h"

#include "app/ConfigKeys.h"
#include "app/LanguagePack.h"

namespace velnor {

const MenuItem *LanguageMenu::item(int command) const {
    for (const MenuItem &entry : items) {
        if (!entry.separator && entry.command == command) {
            return &entry;
        }
    }
    return nullptr;
}

int LanguageMenu::checkedCommand() const {
    for (const MenuItem &entry : items) {
        if (entry.checked) {
            return entry.command;
        }
    }
    return 0;
}

void LanguageMenu::check(int command) {
    for (MenuItem &entry : items) {
        entry.checked = !entry.separator && command != 0 && entry.command == command;
    }
}

LanguageMenu BuildLanguageMenu(const std::string &defaultCaption, const std::string &configuredName,
                               const std::filesystem::path &langDir) {
    LanguageMenu menu;
    menu.items.push_back({kDefaultLanguageCommand, defaultCaption});
    const size_t room = kLastLanguageCommand - kDefaultLanguageCommand;
    int marked = 0;
    for (const PackInfo &pack : listLanguagePacks(langDir, room)) {
        if (menu.lastLanguageCommand == kDefaultLanguageCommand) {
            menu.items.push_back({0, std::string(), true});
        }
        ++menu.lastLanguageCommand;
        menu.items.push_back({menu.lastLanguageCommand, pack.name});
        if (pack.name == configuredName) {
            marked = menu.lastLanguageCommand;
        }
    }
    menu.check(marked);
    return menu;
}

LanguageMenu BuildLanguageMenu(const LanguageContext &context) {
    return BuildLanguageMenu(
        context.texts.get(context.defaultCaptionId),
        context.settings.GetSettingString(config::kLanguagePath, config::kLanguageName, ""),
        context.langDir);
}

LanguageSwitch SwitchLanguage(const std::string &name, LanguageContext &context) {
    using namespace config;
    std::string wanted =
        name.empty() ? context.settings.GetSettingString(kLanguagePath, kLanguageName, "") : name;
    long id = kEnglishId;
    std::filesystem::path file = context.fallbackPack;
    if (const auto pack = FindLanguagePack(context.langDir, wanted)) {
        id = pack->id;
        file = pack->file;
    } else {
        wanted = kEnglishName;
    }

    LanguageSwitch result;
    if (!context.texts.load(file)) {
        return result;
    }
    context.settings.SetSettingString(kLanguagePath, kLanguageName, wanted);
    context.settings.SetSettingLong(kLanguagePath, kLanguageId, id);
    result.switched = true;
    result.languageId = static_cast<uint16_t>(id & 0xFFFF);
    result.menu = BuildLanguageMenu(context);
    result.title = context.settings.GetSettingString(kInfoPath, kTitle, "");
    return result;
}

std::optional<LanguageSwitch> RunLanguageCommand(int command, LanguageMenu &menu,
                                                 LanguageContext &context) {
    const MenuItem *chosen = menu.item(command);
    if (chosen == nullptr || chosen->checked) {
        return std::nullopt;
    }
    const std::string name =
        command == kDefaultLanguageCommand
            ? context.ini.ReadString(config::kIniLanguage, config::kIniLangName)
            : chosen->text;
    const int previous = menu.checkedCommand();
    menu.check(command);
    LanguageSwitch result = SwitchLanguage(name, context);
    if (!result.switched) {
        menu.check(previous);
    }
    return result;
}

} // namespace velnor
