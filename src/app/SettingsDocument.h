#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

#include <pugixml.hpp>

namespace velnor {

// What identifies one version of a file on disk; a change means someone else wrote it.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static FileStamp of(const std::string &file);
    bool operator==(const FileStamp &other) const;
};

// The XML document behind CXMLSettings, shared by its copies.
struct SettingsDocument {
    explicit SettingsDocument(std::string fileName) : file(std::move(fileName)) { load(); }

    std::string file;
    pugi::xml_document xml;
    FileStamp stamp;
    // False when saving would replace a file that could not be read or set aside.
    bool writable = true;
    // The document holds changes that the file does not (a save failed).
    bool unsaved = false;
    std::string problem;

    // Loads the file again when it changed on disk since it was last loaded or saved.
    void refresh();
    // The key element of path/key, or an empty node.
    pugi::xml_node find(std::string_view path, std::string_view key) const;
    // The key element of path/key, made with its sections when missing.
    pugi::xml_node make(std::string_view path, std::string_view key);
    bool save();

private:
    void load();
    void startEmpty();
    pugi::xml_node root();
};

} // namespace velnor
