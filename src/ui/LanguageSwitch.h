#pragma once

// Qt's own texts follow the language of the pack: the file dialogs, the standard context menu
// of text fields and the few other texts that Qt draws itself.

#include <cstdint>

namespace velnor {

// The Qt translation suffix of a language identifier ("de", "zh_CN"), or nullptr for English
// and for languages this program has no pack for.
const char *qtLanguageSuffix(uint16_t languageId);

// Puts Qt's translations for the language in place of the previous ones; English, or a language
// whose translations are not installed, leaves Qt's built-in English. Returns true when a
// translation is in use afterwards.
bool useQtTranslations(uint16_t languageId);

} // namespace velnor
