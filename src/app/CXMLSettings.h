#pragma once

#include <memory>
#include <string>

namespace velnor {

struct SettingsDocument;

// The program's read-write settings, an XML file of nested sections and keys. A path names the
// sections outer first, separated by backslashes ("Configuration\Language"); the key is a named
// value inside the innermost one. The file looks like
//
//   <settings>
//     <section name="Configuration">
//       <section name="Language"><key name="Name">English</key></section>
//     </section>
//   </settings>
//
// so that any section or key name can be stored. Every setter saves at once and atomically.
// A file that is not well-formed XML is kept as "NAME.bad" and the defaults apply.
class CXMLSettings {
public:
    CXMLSettings() = default;
    // A copy shares the loaded document.
    CXMLSettings(const CXMLSettings &) = default;
    // Takes the other's document and path; the shared handle keeps the reference counts right,
    // also when both already share one document.
    CXMLSettings &operator=(const CXMLSettings &) = default;
    ~CXMLSettings() = default;

    void SetSettingsFile(const std::string &file);
    const std::string &settingsFile() const { return settingsFile_; }

    std::string GetSettingString(const std::string &path, const std::string &key,
                                 const std::string &defaultValue) const;
    long GetSettingLong(const std::string &path, const std::string &key, long defaultValue) const;

    // True when the value is in the file on return. On false the file on disk is unchanged,
    // the value is kept for this run, and lastError() says what went wrong.
    bool SetSettingString(const std::string &path, const std::string &key,
                          const std::string &value);
    bool SetSettingLong(const std::string &path, const std::string &key, long value);

    void UnloadXML();

    // The last problem met with the file (damaged and set aside, unreadable, not saved), or empty.
    std::string lastError() const;

private:
    SettingsDocument &loaded() const;

    mutable std::shared_ptr<SettingsDocument> document_;
    std::string settingsFile_;
};

} // namespace velnor
