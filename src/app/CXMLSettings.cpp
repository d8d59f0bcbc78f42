#include "app/CXMLSettings.h"

#include <charconv>

#include "app/SettingsDocument.h"

namespace velnor {

namespace {

// Leading decimal digits with an optional sign; nothing usable gives no value.
bool parseLong(std::string_view text, long &value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data();
}

} // namespace

void CXMLSettings::SetSettingsFile(const std::string &file) {
    settingsFile_ = file;
}

SettingsDocument &CXMLSettings::loaded() const {
    if (!document_ || document_->file != settingsFile_) {
        // A copy still using the other file keeps its own document.
        document_ = std::make_shared<SettingsDocument>(settingsFile_);
    } else {
        document_->refresh();
    }
    return *document_;
}

std::string CXMLSettings::GetSettingString(const std::string &path, const std::string &key,
                                           const std::string &defaultValue) const {
    const pugi::xml_node entry = loaded().find(path, key);
    return entry ? std::string(entry.text().get()) : defaultValue;
}

long CXMLSettings::GetSettingLong(const std::string &path, const std::string &key,
                                  long defaultValue) const {
    const pugi::xml_node entry = loaded().find(path, key);
    long value = 0;
    return entry && parseLong(entry.text().get(), value) ? value : defaultValue;
}

bool CXMLSettings::SetSettingString(const std::string &path, const std::string &key,
                                    const std::string &value) {
    SettingsDocument &document = loaded();
    // Rewriting a file that already holds the value only costs a flush to the disk.
    const pugi::xml_node entry = document.find(path, key);
    if (entry && value == entry.text().get() && !document.unsaved) {
        return true;
    }
    document.make(path, key).text().set(value.c_str());
    return document.save();
}

bool CXMLSettings::SetSettingLong(const std::string &path, const std::string &key, long value) {
    return SetSettingString(path, key, std::to_string(value));
}

void CXMLSettings::UnloadXML() {
    document_.reset();
}

std::string CXMLSettings::lastError() const {
    return document_ ? document_->problem : std::string();
}

} // namespace velnor
