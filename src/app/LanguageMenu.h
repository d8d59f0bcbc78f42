#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/PackTexts.h"

namespace velnor {

// One entry of a menu as the window builds it.
struct MenuItem {
    int command = 0;
    std::string text;
    bool separator = false;
    bool checked = false; // the radio mark
};

inline constexpr int kDefaultLanguageCommand = 5200; // the installation's default language
inline constexpr int kLastLanguageCommand = 5249;

// The language popup: item 5200, a separator when a pack was found, then one item per pack
// (5201 on, at most 49) in the order of the pack folder (sorted by file name).
struct LanguageMenu {
    std::vector<MenuItem> items;
    int lastLanguageCommand = kDefaultLanguageCommand;

    const MenuItem *item(int command) const;
    int checkedCommand() const; // 0 when no item is marked
    void check(int command);    // moves the mark; 0 removes it
};

// The mark goes on the pack whose display name is configuredName; of two packs with the same
// name, on the later one.
LanguageMenu BuildLanguageMenu(const std::string &defaultCaption, const std::string &configuredName,
                               const std::filesystem::path &langDir);

// What a language command or switch works on. defaultCaptionId is the string number of the
// caption of item 5200, read from whichever pack is current when the menu is built.
struct LanguageContext {
    CXMLSettings &settings;
    const CIniFile &ini;
    PackTexts &texts;
    std::filesystem::path langDir;
    std::filesystem::path fallbackPack;
    int defaultCaptionId = 0;
};

// The menu for the configured name (settings Configuration\Language Name), with the caption of
// item 5200 from the current pack.
LanguageMenu BuildLanguageMenu(const LanguageContext &context);

// The outcome of a switch for the window: when switched, it puts the new texts in place, the
// title and the menu; when not, everything stays as it was.
struct LanguageSwitch {
    bool switched = false;
    uint16_t languageId = 0;
    std::string title;
    LanguageMenu menu;
};

// Switches to the pack with this display name (empty: the configured name); no such pack means
// the English fallback under the name "English". The new pack is loaded before the old one goes.
LanguageSwitch SwitchLanguage(const std::string &name, LanguageContext &context);

// Command 5200..5249 chosen in menu. Nothing happens for the marked item (nullopt). Item 5200
// stands for the installation's language, INI Language/Name. A failed switch leaves the mark
// where it was.
std::optional<LanguageSwitch> RunLanguageCommand(int command, LanguageMenu &menu,
                                                 LanguageContext &context);

} // namespace velnor
