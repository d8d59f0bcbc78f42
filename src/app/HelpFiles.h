#pragma once

#include <cstdint>
#include <filesystem>

namespace velnor {

// The help page for a language identifier: "Velnor_ge.html" for German (0x407) and so on;
// English for English and every language without a page of its own.
const char *helpFileName(uint16_t languageId);

std::filesystem::path helpFilePath(const std::filesystem::path &helpDir, uint16_t languageId);

} // namespace velnor
