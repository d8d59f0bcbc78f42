#include "app/StartUp.h"

#include "app/ConfigKeys.h"
#include "app/LanguagePack.h"
#include "base/TextIds.h"

namespace velnor {

namespace {

constexpr const char *kProgramCaption = "Velnor";

} // namespace

std::string configurationErrorText(const std::filesystem::path &packFile) {
    return "Can not load " + packFile.string() + ". Please reinstall your software";
}

LanguageChoice ChooseLanguage(const CXMLSettings &settings, const CIniFile &ini,
                              const AppPaths &paths) {
    using namespace config;
    LanguageChoice choice;
    choice.name = settings.GetSettingString(kLanguagePath, kLanguageName, "");
    if (choice.name.empty()) {
        choice.id = ini.ReadInt(kIniLanguage, kIniLangId, kEnglishId);
        choice.name = ini.ReadString(kIniLanguage, kIniLangName);
    } else {
        choice.id = settings.GetSettingLong(kLanguagePath, kLanguageId, 0) & 0xFFFF;
    }
    if (const auto pack = FindLanguagePack(paths.langDir, choice.name)) {
        choice.id = pack->id;
        choice.packFile = pack->file;
    } else {
        choice.name = kEnglishName;
        choice.packFile = paths.fallbackPack();
    }
    return choice;
}

bool LoadChosenPack(PackTexts &texts, const LanguageChoice &choice, UserPrompts &prompts) {
    if (texts.load(choice.packFile)) {
        return true;
    }
    prompts.showMessage(MessageKind::Warning,
                        {0, kConfigurationErrorCaption, configurationErrorText(choice.packFile)});
    return false;
}

void StoreLanguage(CXMLSettings &settings, const LanguageChoice &choice) {
    settings.SetSettingString(config::kLanguagePath, config::kLanguageName, choice.name);
    settings.SetSettingLong(config::kLanguagePath, config::kLanguageId, choice.id);
}

bool ClaimSingleInstance(InstanceLock &lock, const std::filesystem::path &lockFile,
                         const Texts &texts, UserPrompts &prompts) {
    if (lock.acquire(lockFile) != InstanceLock::Result::HeldByAnotherCopy) {
        return true;
    }
    prompts.showMessage(MessageKind::Information,
                        {text::AlreadyRunning, kProgramCaption, texts.get(text::AlreadyRunning)});
    return false;
}

StartUpResult StartUp(AppSession &session, UserPrompts &prompts) {
    if (session.paths.dataDir.empty()) {
        prompts.showMessage(MessageKind::Warning,
                            {0, kConfigurationErrorCaption, AppPaths::noDataFolder});
        return StartUpResult::ConfigurationError;
    }
    session.settings.SetSettingsFile(session.paths.settingsFile().string());
    session.ini.SetFile(config::kIniFileName);

    const LanguageChoice choice = ChooseLanguage(session.settings, session.ini, session.paths);
    if (!LoadChosenPack(session.texts, choice, prompts)) {
        return StartUpResult::ConfigurationError;
    }
    StoreLanguage(session.settings, choice);
    if (!ClaimSingleInstance(session.lock, session.paths.lockFile(), session.texts, prompts)) {
        return StartUpResult::AlreadyRunning;
    }
    return StartUpResult::ShowMainWindow;
}

} // namespace velnor
