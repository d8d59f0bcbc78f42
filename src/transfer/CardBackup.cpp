#include "transfer/CardBackup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "base/AtomicFile.h"

namespace velnor {

namespace {

constexpr std::string_view kTitle = "Velnor card backup";
constexpr std::string_view kExtension = ".txt";
// 255 records of 255 bytes are 130 KB; a USIM phonebook of two sets has some 20 files.
constexpr uintmax_t kMaxBackupSize = 8 << 20;

std::string namePart(const std::string &identity) {
    if (identity.empty()) {
        return "unknown";
    }
    std::string part = identity;
    for (char &c : part) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return part;
}

std::string namePrefix(const std::string &identity) {
    return "card-" + namePart(identity) + "-";
}

std::tm utcTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    return parts;
}

std::optional<unsigned> parseNumber(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// What a backup holds of the card, without where and when it was taken.
std::string contentOf(CardBackup backup) {
    backup.reader.clear();
    backup.taken.clear();
    return cardBackupText(backup);
}

bool isUsimPath(const std::vector<uint16_t> &ids) {
    constexpr uint16_t kPhonebookDirectory = 0x5F3A;
    if (ids.size() == 4) {
        return ids[0] == df::Master && (ids[1] == df::Telecom || ids[1] == CardFileSystem::AdfId) &&
               ids[2] == kPhonebookDirectory && (ids[3] & 0xFF00) == 0x4F00;
    }
    return ids == std::vector<uint16_t>{df::Master, CardFileSystem::AdfId, EfSms::id};
}

void appendRecords(std::ostringstream &text, const std::vector<Bytes> &records) {
    for (const Bytes &record : records) {
        text << CMyTools::hex2asc(record.data(), record.size()) << "\r\n";
    }
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

} // namespace

std::optional<std::vector<uint16_t>> restorableFilePath(std::string_view path) {
    for (const std::vector<uint16_t> &ids :
         {filePath<EfAdn>(), filePath<EfSms>(), filePath<EfCdmaSms>()}) {
        if (path == formatFilePath(ids)) {
            return ids;
        }
    }
    std::optional<std::vector<uint16_t>> ids = parseFilePath(std::string(path));
    // Written back as the card gives it, so that one file has one name.
    if (ids && isUsimPath(*ids) && formatFilePath(*ids) == path) {
        return ids;
    }
    return std::nullopt;
}

std::string cardBackupText(const CardBackup &backup) {
    std::ostringstream text;
    text << kTitle << "\r\nidentity: " << backup.identity << "\r\nreader: " << backup.reader
         << "\r\nfile: " << backup.filePath << "\r\ntaken: " << backup.taken
         << "\r\nrecord length: " << unsigned(backup.recordLength)
         << "\r\nrecord count: " << backup.records.size() << "\r\n";
    appendRecords(text, backup.records);
    for (const BackupFile &file : backup.more) {
        text << "file: " << file.filePath << "\r\nrecord length: " << unsigned(file.recordLength)
             << "\r\nrecord count: " << file.records.size() << "\r\n";
        appendRecords(text, file.records);
    }
    return text.str();
}

namespace {

// The records of one file of a backup from `line` on, up to the next file or the end.
bool fileBlock(const std::vector<std::string_view> &lines, size_t &line,
               std::optional<unsigned> length, std::optional<unsigned> count,
               const std::string &path, std::vector<Bytes> &records, std::string &error) {
    if (!restorableFilePath(path)) {
        error = "The backup does not name a phonebook or message file.";
        return false;
    }
    if (!length || *length == 0 || *length > 255 || !count || *count == 0 || *count > 255) {
        error = "The backup does not give a record length and count of 1 to 255.";
        return false;
    }
    size_t end = line;
    while (end < lines.size() && !lines[end].starts_with("file:")) {
        ++end;
    }
    if (end - line != *count) {
        error = "The backup should hold " + std::to_string(*count) + " records but holds " +
                std::to_string(end - line) + ".";
        return false;
    }
    for (; line < end; ++line) {
        std::optional<Bytes> record = CMyTools::asc2hex(lines[line]);
        if (!record || record->size() != *length) {
            error = "Line " + std::to_string(line + 1) + " of the backup is not a record of " +
                    std::to_string(*length) + " bytes in hexadecimal.";
            return false;
        }
        records.push_back(std::move(*record));
    }
    return true;
}

} // namespace

std::optional<CardBackup> parseCardBackup(std::string_view text, std::string &error) {
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty() || lines[0] != kTitle) {
        error = "It is not a Velnor card backup.";
        return std::nullopt;
    }
    CardBackup backup;
    std::optional<unsigned> length;
    std::optional<unsigned> count;
    size_t line = 1;
    for (; line < lines.size(); ++line) {
        const size_t colon = lines[line].find(": ");
        if (colon == std::string_view::npos && lines[line].find(':') == std::string_view::npos) {
            break;
        }
        const std::string_view key = lines[line].substr(0, colon);
        const std::string_view value =
            colon == std::string_view::npos ? std::string_view() : lines[line].substr(colon + 2);
        if (key == "identity") {
            backup.identity = value;
        } else if (key == "reader") {
            backup.reader = value;
        } else if (key == "file") {
            backup.filePath = value;
        } else if (key == "taken") {
            backup.taken = value;
        } else if (key == "record length") {
            length = parseNumber(value);
        } else if (key == "record count") {
            count = parseNumber(value);
        }
    }
    if (!fileBlock(lines, line, length, count, backup.filePath, backup.records, error)) {
        return std::nullopt;
    }
    backup.recordLength = static_cast<uint8_t>(*length);
    while (line < lines.size()) {
        BackupFile file;
        length = count = std::nullopt;
        const std::string_view fileKey = "file: ";
        const std::string_view lengthKey = "record length: ";
        const std::string_view countKey = "record count: ";
        if (line + 3 > lines.size() || !lines[line].starts_with(fileKey) ||
            !lines[line + 1].starts_with(lengthKey) || !lines[line + 2].starts_with(countKey)) {
            error = "Line " + std::to_string(line + 1) +
                    " of the backup does not begin a file with its record length and count.";
            return std::nullopt;
        }
        file.filePath = lines[line].substr(fileKey.size());
        length = parseNumber(lines[line + 1].substr(lengthKey.size()));
        count = parseNumber(lines[line + 2].substr(countKey.size()));
        line += 3;
        if (!fileBlock(lines, line, length, count, file.filePath, file.records, error)) {
            return std::nullopt;
        }
        file.recordLength = static_cast<uint8_t>(*length);
        backup.more.push_back(std::move(file));
    }
    return backup;
}

std::optional<CardBackup> loadCardBackup(const std::filesystem::path &path, std::string &error) {
    std::error_code failure;
    const uintmax_t size = std::filesystem::file_size(path, failure);
    std::ifstream in(path, std::ios::binary);
    if (failure || !in) {
        error = "The backup " + path.string() + " cannot be read.";
        return std::nullopt;
    }
    if (size > kMaxBackupSize) {
        error = "The file " + path.string() + " is too large to be a card backup.";
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return parseCardBackup(content.str(), error);
}

std::string cardBackupFileName(const std::string &identity, const std::string &filePath,
                               std::chrono::system_clock::time_point when) {
    const std::tm parts = utcTime(when);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    char time[64];
    std::snprintf(time, sizeof time, "%04d%02d%02d-%02d%02d%02d-%03d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  static_cast<int>(millis));
    const size_t slash = filePath.rfind('/');
    const std::string fileId = slash == std::string::npos ? filePath : filePath.substr(slash + 1);
    return namePrefix(identity) + time + "-" + fileId + std::string(kExtension);
}

std::string backupTimeText(std::chrono::system_clock::time_point when) {
    const std::tm parts = utcTime(when);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

std::vector<std::filesystem::path> cardBackupsOf(const std::filesystem::path &folder,
                                                 const std::string &identity) {
    const std::string prefix = namePrefix(identity);
    std::vector<std::filesystem::path> found;
    std::error_code failure;
    for (const auto &entry : std::filesystem::directory_iterator(folder, failure)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(failure) && name.starts_with(prefix) &&
            name.ends_with(kExtension)) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<std::filesystem::path> saveCardBackup(const std::filesystem::path &folder,
                                                    const CardBackup &backup,
                                                    std::chrono::system_clock::time_point when,
                                                    const std::filesystem::path &keep,
                                                    std::string &error) {
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    std::filesystem::path path =
        folder / cardBackupFileName(backup.identity, backup.filePath, when);
    // Two backups within one millisecond still get names of their own, in order.
    while (std::filesystem::exists(path, failure)) {
        when += std::chrono::milliseconds(1);
        path = folder / cardBackupFileName(backup.identity, backup.filePath, when);
    }
    if (!writeFileAtomically(path, cardBackupText(backup), &error, Durability::Synced)) {
        return std::nullopt;
    }
    std::vector<std::filesystem::path> older = cardBackupsOf(folder, backup.identity);
    // The backup just taken is the newest whatever the clock says, so it is never the one to go.
    std::erase(older, path);
    std::set<std::string> contents = {contentOf(backup)};
    for (auto it = older.rbegin(); it != older.rend(); ++it) {
        std::string unused;
        const std::optional<CardBackup> held = loadCardBackup(*it, unused);
        // A file that cannot be read may hold anything, so nothing newer repeats it.
        const bool repeated = held && !contents.insert(contentOf(*held)).second;
        const bool restoring = !keep.empty() && std::filesystem::equivalent(*it, keep, failure);
        if (repeated && !restoring) {
            std::filesystem::remove(*it, failure);
        }
    }
    return path;
}

} // namespace velnor
