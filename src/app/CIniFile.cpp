#include "app/CIniFile.h"

#include <cstdint>
#include <fstream>
#include <sstream>

#include "app/AppPaths.h"
#include "base/Utf8.h"
#include "codec/LegacyText.h"

namespace velnor {

namespace {

constexpr std::string_view kBlanks = " \t\r\n\f\v";

std::string_view trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string readWholeFile(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return textAsUtf8(content.str());
}

int leadingInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    uint32_t value = 0; // wraps like the platform's read on absurdly long numbers
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return static_cast<int>(negative ? 0u - value : value);
}

} // namespace

CIniFile::CIniFile() : directory_(executableDirectory()) {
    std::error_code ignored;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    file_ = directory_ / self.filename().replace_extension(".ini");
}

CIniFile::CIniFile(std::filesystem::path directory) : directory_(std::move(directory)) {}

bool CIniFile::SetFile(std::string_view name) {
    const std::string_view trimmed = trim(name);
    if (trimmed.empty()) {
        return false;
    }
    const bool hasPath = trimmed.find('/') != std::string_view::npos;
    file_ = hasPath ? std::filesystem::path(trimmed) : directory_ / trimmed;
    return true;
}

std::optional<std::string> CIniFile::lookup(std::string_view section, std::string_view key) const {
    if (file_.empty()) {
        return std::nullopt;
    }
    const std::string text = readWholeFile(file_);
    const std::string_view wantedSection = trim(section);
    const std::string_view wantedKey = trim(key);
    bool inSection = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line = trim(std::string_view(text).substr(at, end - at));
        at = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            const size_t close = line.find(']');
            inSection = sameName(
                trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                    : close - 1)),
                wantedSection);
            continue;
        }
        const size_t equals = line.find('=');
        if (inSection && equals != std::string_view::npos &&
            sameName(trim(line.substr(0, equals)), wantedKey)) {
            return std::string(unquote(trim(line.substr(equals + 1))));
        }
    }
    return std::nullopt;
}

int CIniFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = lookup(section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return leadingInteger(*value);
}

size_t CIniFile::ReadString(std::string_view section, std::string_view key,
                            std::string_view defaultValue, std::string &out) const {
    const std::optional<std::string> value = lookup(section, key);
    out = firstCharacters(value ? std::string_view(*value) : defaultValue, kMaxValueCharacters);
    return countCharacters(out);
}

std::string CIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    std::string out;
    ReadString(section, key, defaultValue, out);
    return out;
}

} // namespace velnor
