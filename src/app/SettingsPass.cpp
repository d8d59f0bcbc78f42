#include "app/SettingsPass.h"

#include <cstdio>

#include "app/ConfigKeys.h"

namespace velnor {

namespace {

constexpr const char *kDefaultAuthor = "Arno Pell";
constexpr const char *kDefaultVersion = "1.0.04282007";

} // namespace

std::string formatTimeStamp(const std::tm &localTime) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%02d,%02d,%02d:%02d:%02d", localTime.tm_year + 1900,
                  localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    return text;
}

SettingsPassResult LoadSettings(CXMLSettings &settings, const CIniFile &ini,
                                const std::tm &localTime) {
    using namespace config;
    SettingsPassResult result;

    result.title = settings.GetSettingString(kInfoPath, kTitle, "");
    if (result.title.empty()) {
        result.title = ini.ReadString(kIniCustomization, kIniAppName);
        settings.SetSettingString(kInfoPath, kTitle, result.title);
        result.titleChanged = true;
    }
    if (settings.GetSettingString(kInfoPath, kAuthor, "").empty()) {
        settings.SetSettingString(kInfoPath, kAuthor, kDefaultAuthor);
    }
    if (settings.GetSettingString(kInfoPath, kCompany, "").empty()) {
        settings.SetSettingString(kInfoPath, kCompany,
                                  ini.ReadString(kIniCustomization, kIniCompanyName));
    }
    if (settings.GetSettingString(kInfoPath, kVersion, "").empty()) {
        settings.SetSettingString(kInfoPath, kVersion, kDefaultVersion);
    }

    const std::string now = formatTimeStamp(localTime);
    if (settings.GetSettingString(kInfoRunTimePath, kFirstRunTime, "").empty()) {
        settings.SetSettingString(kInfoRunTimePath, kFirstRunTime, now);
    }
    settings.SetSettingString(kInfoRunTimePath, kLastRunTime, now);

    // A 16-bit counter: 65535 is followed by 65536, whose low half 0 is followed by 1.
    const long runs = settings.GetSettingLong(kRunCounterPath, kAlreadyRun, 0);
    settings.SetSettingLong(kRunCounterPath, kAlreadyRun, (runs & 0xFFFF) + 1);

    const bool named = !settings.GetSettingString(kLanguagePath, kLanguageName, "").empty();
    const long languageId = named ? settings.GetSettingLong(kLanguagePath, kLanguageId, 0)
                                  : ini.ReadInt(kIniLanguage, kIniLangId, kEnglishId);
    result.languageId = static_cast<uint16_t>(languageId & 0xFFFF);
    result.documentedPacing = settings.GetSettingLong(kReaderPath, kDocumentedPacing, 0) == 1;
    result.joinedMessages = settings.GetSettingLong(kMessagesPath, kJoinMessages, 1) != 0;
    return result;
}

SettingsPassResult LoadSettings(CXMLSettings &settings, const CIniFile &ini) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return LoadSettings(settings, ini, local);
}

} // namespace velnor
