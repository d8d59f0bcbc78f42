#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// A language pack loaded into the process: a shared library exporting GetLangName (display
// name), GetLangID (Windows language identifier in the low 16 bits) and GetLangString (a UTF-8
// text by string number, or null). It is unloaded when the object goes, which ends the life of
// every text it handed out.
class LanguagePack {
public:
    // Null when the file cannot be loaded or lacks one of the exports.
    static std::unique_ptr<LanguagePack> open(const std::filesystem::path &file);
    ~LanguagePack();
    LanguagePack(const LanguagePack &) = delete;
    LanguagePack &operator=(const LanguagePack &) = delete;

    const std::filesystem::path &file() const { return file_; }
    const std::string &name() const { return name_; }
    int id() const { return id_; }
    const char *text(int id) const;

private:
    using TextFunction = const char *(*)(int);
    LanguagePack(void *handle, TextFunction lookup, std::filesystem::path file, std::string name,
                 int id);

    void *handle_;
    TextFunction text_;
    std::filesystem::path file_;
    std::string name_;
    int id_;
};

// What the folder holds about one pack, taken while it was loaded.
struct PackInfo {
    std::filesystem::path file;
    std::string name;
    int id = 0;
};

// The files of the pack folder that may be packs ("*.so", regular files), sorted by file name so
// that the order does not depend on the file system.
std::vector<std::filesystem::path> packCandidates(const std::filesystem::path &langDir);

// The packs of the folder in that order, at most maxCount; other files are skipped silently.
std::vector<PackInfo> listLanguagePacks(const std::filesystem::path &langDir, size_t maxCount);

// The first pack in that order whose display name is exactly name.
std::optional<PackInfo> FindLanguagePack(const std::filesystem::path &langDir,
                                         std::string_view name);

} // namespace velnor
