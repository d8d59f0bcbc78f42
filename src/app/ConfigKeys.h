#pragma once

// The sections and keys of the two configuration files.
namespace velnor::config {

// velnor.config.xml (paths of nested sections, outer first)
inline constexpr const char *kLanguagePath = "Configuration\\Language";
inline constexpr const char *kLanguageName = "Name";
inline constexpr const char *kLanguageId = "ID";
inline constexpr const char *kInfoPath = "Info";
inline constexpr const char *kTitle = "Title";
inline constexpr const char *kAuthor = "Author";
inline constexpr const char *kCompany = "Company";
inline constexpr const char *kVersion = "Version";
inline constexpr const char *kInfoRunTimePath = "Info\\RunTime";
inline constexpr const char *kFirstRunTime = "FirstRunTime";
inline constexpr const char *kLastRunTime = "LastRunTime";
inline constexpr const char *kRunCounterPath = "Configuration\\RunTime";
inline constexpr const char *kAlreadyRun = "AlreadyRun";
// The code page last chosen in the open dialog ("" or missing: detection)
inline constexpr const char *kFilesPath = "Configuration\\Files";
inline constexpr const char *kOpenCodePage = "CodePage";
// 1: the documented waits around card commands, for slow or old readers; 0 or missing: none
inline constexpr const char *kReaderPath = "Configuration\\Reader";
inline constexpr const char *kDocumentedPacing = "DocumentedPacing";
// The main window's size and place when it was last closed (Qt's geometry, base64)
inline constexpr const char *kWindowPath = "Configuration\\Window";
inline constexpr const char *kWindowGeometry = "Geometry";
// 0: a row per message record; 1 or missing: the parts of a long message in one row
inline constexpr const char *kMessagesPath = "Configuration\\Messages";
inline constexpr const char *kJoinMessages = "JoinParts";

// velnor.cfg, the installation's read-only customisation
inline constexpr const char *kIniFileName = "velnor.cfg";
inline constexpr const char *kIniLanguage = "Language";
inline constexpr const char *kIniLangId = "LangID";
inline constexpr const char *kIniLangName = "Name";
inline constexpr const char *kIniCustomization = "Customization";
inline constexpr const char *kIniAppName = "AppName";
inline constexpr const char *kIniCompanyName = "CompanyName";

inline constexpr int kEnglishId = 1033; // 0x409
inline constexpr const char *kEnglishName = "English";

} // namespace velnor::config
