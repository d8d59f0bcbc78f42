#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace velnor {

// Synced files are on the disk when the call returns; the others only replace the old file in
// one step, which a crash of the program cannot tear but a power cut right after may undo.
// Copies the card still holds (the backups a read leaves) need no more than that.
enum class Durability { Synced, Replaced };

// Replaces the file at path with content, or leaves it as it was: the content goes to a new
// file beside it, which is renamed over the old one. An existing file keeps its permissions.
// On failure returns false and says why in `error`.
bool writeFileAtomically(const std::filesystem::path &path, std::string_view content,
                         std::string *error = nullptr, Durability durability = Durability::Synced);

// The same for content made in pieces, so that a large file is never held whole: `produce`
// hands every piece to the writer it is given, in order, and stops when the writer returns
// false.
using PieceWriter = std::function<bool(std::string_view piece)>;
bool writeFileAtomically(const std::filesystem::path &path,
                         const std::function<bool(const PieceWriter &write)> &produce,
                         std::string *error = nullptr, Durability durability = Durability::Synced);

} // namespace velnor
