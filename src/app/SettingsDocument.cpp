#include "app/SettingsDocument.h"

#include <sstream>
#include <sys/stat.h>

#include "app/DamagedFile.h"
#include "base/AtomicFile.h"

namespace velnor {

namespace {

constexpr const char *kRootName = "settings";
constexpr const char *kSectionName = "section";
constexpr const char *kKeyName = "key";

pugi::xml_node namedChild(pugi::xml_node parent, const char *element, std::string_view name) {
    for (pugi::xml_node child : parent.children(element)) {
        if (name == child.attribute("name").value()) {
            return child;
        }
    }
    return {};
}

// Calls step for each non-empty section name of a backslash path, outer first.
template <typename Step> bool walkPath(std::string_view path, Step step) {
    while (!path.empty()) {
        const size_t cut = path.find('\\');
        const std::string_view name = path.substr(0, cut);
        if (!name.empty() && !step(name)) {
            return false;
        }
        path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    }
    return true;
}

} // namespace

FileStamp FileStamp::of(const std::string &file) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0) {
        stamp.exists = true;
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
    }
    return stamp;
}

bool FileStamp::operator==(const FileStamp &other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

void SettingsDocument::refresh() {
    const FileStamp now = FileStamp::of(file);
    if (!(now == stamp)) {
        load();
    }
}

void SettingsDocument::startEmpty() {
    xml.reset();
    stamp = FileStamp::of(file);
}

void SettingsDocument::load() {
    writable = true;
    unsaved = false;
    const FileStamp current = FileStamp::of(file);
    if (!current.exists) {
        startEmpty();
        return;
    }
    // A value of blanks only is a value too.
    const pugi::xml_parse_result result =
        xml.load_file(file.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (result) {
        stamp = current;
        return;
    }
    const bool unreadable = result.status == pugi::status_file_not_found ||
                            result.status == pugi::status_io_error ||
                            result.status == pugi::status_out_of_memory;
    if (unreadable) {
        problem = "The settings file " + file + " cannot be read; changes are not saved.";
        writable = false;
        startEmpty();
        return;
    }
    std::string error;
    const auto aside = moveAsideAsBad(file, error);
    std::ostringstream what;
    what << "The settings file " << file << " is damaged (" << result.description() << " at byte "
         << result.offset << ")";
    if (aside) {
        what << "; it was kept as " << aside->string() << " and the defaults apply.";
    } else {
        what << " and cannot be set aside (" << error << "); changes are not saved.";
        writable = false;
    }
    problem = what.str();
    startEmpty();
}

pugi::xml_node SettingsDocument::root() {
    pugi::xml_node element = xml.document_element();
    return element ? element : xml.append_child(kRootName);
}

pugi::xml_node SettingsDocument::find(std::string_view path, std::string_view key) const {
    pugi::xml_node node = xml.document_element();
    if (!node) {
        return {};
    }
    const bool found = walkPath(path, [&node](std::string_view name) {
        node = namedChild(node, kSectionName, name);
        return static_cast<bool>(node);
    });
    return found ? namedChild(node, kKeyName, key) : pugi::xml_node();
}

pugi::xml_node SettingsDocument::make(std::string_view path, std::string_view key) {
    pugi::xml_node node = root();
    walkPath(path, [&node](std::string_view name) {
        pugi::xml_node section = namedChild(node, kSectionName, name);
        if (!section) {
            section = node.append_child(kSectionName);
            section.append_attribute("name").set_value(std::string(name).c_str());
        }
        node = section;
        return true;
    });
    pugi::xml_node entry = namedChild(node, kKeyName, key);
    if (!entry) {
        entry = node.append_child(kKeyName);
        entry.append_attribute("name").set_value(std::string(key).c_str());
    }
    return entry;
}

bool SettingsDocument::save() {
    if (file.empty()) {
        problem = "No settings file is set; changes are not saved.";
        return false;
    }
    if (!writable) {
        unsaved = true;
        if (problem.empty()) {
            problem = "The settings file " + file + " is not saved.";
        }
        return false;
    }
    std::ostringstream text;
    xml.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    std::string error;
    if (!writeFileAtomically(file, text.str(), &error)) {
        problem = "The settings cannot be saved: " + error;
        unsaved = true;
        return false;
    }
    stamp = FileStamp::of(file);
    unsaved = false;
    return true;
}

} // namespace velnor
