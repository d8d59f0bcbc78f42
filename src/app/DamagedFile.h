#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace velnor {

// Moves a damaged file out of the way as "NAME.bad", or "NAME.bad.1", "NAME.bad.2", ... when
// earlier ones exist, so that nothing the user had is lost. Returns the new name.
std::optional<std::filesystem::path> moveAsideAsBad(const std::filesystem::path &file,
                                                    std::string &error);

} // namespace velnor
