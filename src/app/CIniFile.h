#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velnor {

// Read-only reader of an INI file with the rules people know from Windows profile files:
// "[section]" lines and "key=value" lines, section and key names compared without regard to
// case, names and values trimmed, a value in matching quotes taken without them, whole-line
// comments starting with ";" or "#". The first matching key wins. The file is read at every
// call, so edits show without a restart.
class CIniFile {
public:
    // Points at the executable's own name with the extension ".ini", in its directory.
    CIniFile();
    // Bare file names given to SetFile are placed in directory.
    explicit CIniFile(std::filesystem::path directory);

    // Trims the name; a name with a path separator is used as it stands, any other is placed
    // in the reader's directory. False for an empty name.
    bool SetFile(std::string_view name);
    const std::filesystem::path &file() const { return file_; }

    // The value read as leading decimal digits with an optional sign (none: 0); the default
    // when the key is missing or its value empty.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    // Stores the value, or the default when the key is missing, cut to 255 characters, in out;
    // returns the number of characters stored.
    size_t ReadString(std::string_view section, std::string_view key, std::string_view defaultValue,
                      std::string &out) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;

    static constexpr size_t kMaxValueCharacters = 255;

private:
    std::optional<std::string> lookup(std::string_view section, std::string_view key) const;

    std::filesystem::path directory_;
    std::filesystem::path file_;
};

} // namespace velnor
