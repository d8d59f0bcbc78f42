#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "app/CIniFile.h"
#include "app/CXMLSettings.h"

namespace velnor {

struct SettingsPassResult {
    uint16_t languageId = 0;
    // The title was empty and has just been filled from the installation's AppName; the main
    // window then shows title.
    bool titleChanged = false;
    std::string title;
    // The user asked for the documented waits around card commands.
    bool documentedPacing = false;
    // The parts of a long message are shown in one row.
    bool joinedMessages = true;
};

// "2008,04,09,13:05:07" for the given local time.
std::string formatTimeStamp(const std::tm &localTime);

// The main window's settings pass: fills the bookkeeping keys of the settings file, counts the
// run and works out the language identifier that chooses the help file.
SettingsPassResult LoadSettings(CXMLSettings &settings, const CIniFile &ini,
                                const std::tm &localTime);
// The same at the current local time.
SettingsPassResult LoadSettings(CXMLSettings &settings, const CIniFile &ini);

} // namespace velnor
