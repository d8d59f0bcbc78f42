#pragma once

#include <string>
#include <string_view>

namespace velnor::utf8 {

// An older file saved in the Western Windows code page (1252) is taken as such rather than
// rejected; valid UTF-8 is returned unchanged.
std::string fromLegacyIfNeeded(std::string_view text);

} // namespace velnor::utf8
