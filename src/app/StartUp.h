#pragma once

#include <filesystem>
#include <string>

#include "app/AppPaths.h"
#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/InstanceLock.h"
#include "app/PackTexts.h"
#include "base/UserPrompts.h"

namespace velnor {

// The language start-up settles on, and the pack file that carries it.
struct LanguageChoice {
    std::string name;
    long id = 0;
    std::filesystem::path packFile;
};

// The configured language (settings name and identifier, else the installation's), looked up
// among the packs; when no pack carries it, the English fallback with the name "English" and
// the identifier kept as configured.
LanguageChoice ChooseLanguage(const CXMLSettings &settings, const CIniFile &ini,
                              const AppPaths &paths);

// Loads the chosen pack. When it cannot be loaded, shows the fixed configuration error (there
// is no pack to translate it) and returns false: the program cannot go on.
bool LoadChosenPack(PackTexts &texts, const LanguageChoice &choice, UserPrompts &prompts);

void StoreLanguage(CXMLSettings &settings, const LanguageChoice &choice);

// Takes the single-instance lock. When another copy holds it, tells the user (text::AlreadyRunning,
// in the language just loaded) and returns false.
bool ClaimSingleInstance(InstanceLock &lock, const std::filesystem::path &lockFile,
                         const Texts &texts, UserPrompts &prompts);

// What the program keeps from start-up to exit.
struct AppSession {
    explicit AppSession(AppPaths appPaths) : paths(std::move(appPaths)), ini(paths.resourceDir) {}

    AppPaths paths;
    CXMLSettings settings;
    CIniFile ini;
    PackTexts texts;
    InstanceLock lock;
};

enum class StartUpResult { ShowMainWindow, ConfigurationError, AlreadyRunning };

// Everything before the main window, in this order: settings and INI files, language choice,
// pack, language keys, lock. The pack is loaded before the lock is tried so that the message
// about a running copy is in the user's language, and the language keys are written before it,
// so a second copy rewrites them before it gives up.
StartUpResult StartUp(AppSession &session, UserPrompts &prompts);

// The fixed texts of the configuration error.
inline constexpr const char *kConfigurationErrorCaption =
    "Kelvara Velnor Tool - Error configuration";
std::string configurationErrorText(const std::filesystem::path &packFile);

} // namespace velnor
