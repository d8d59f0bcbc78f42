#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velnor {

// Replaces a file's content as one step: the content is written to a new file in the same
// folder, flushed to disk and renamed over the old one, so that a failure at any point leaves
// the old file whole. An existing file keeps its mode. false and a sentence in error on failure.
bool replaceFileAtomically(const std::filesystem::path &path, std::string_view content,
                           std::string &error);

} // namespace velnor
