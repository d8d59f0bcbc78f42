#pragma once

// Card backups: the records of a card file as they were before a write changed them, one file
// per write in the data folder, named after the card, the time and the file. A text file:
//
//   Velnor card backup
//   identity: 89012345678901234567
//   reader: sim:/home/me/card.json
//   file: 3F00/7F10/6F3A
//   taken: 2024-05-01 12:00:00 UTC
//   record length: 30
//   record count: 250
//   4A6F686EFFFF...          one line per record, hexadecimal as in the logs
//
// A write that changes several files together (a USIM phonebook) keeps them all in one backup:
// each further file repeats the lines file, record length, record count and its records.
//
// Lines end in CR LF like the logs; LF alone is read too.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "codec/CMyTools.h"

namespace velnor {

// The card files a write changes, and so the only ones a backup may be restored to.
inline const std::string kPhonebookFilePath = filePathText<EfAdn>();
inline const std::string kMessageFilePath = filePathText<EfSms>();
inline const std::string kCdmaMessageFilePath = filePathText<EfCdmaSms>();

// The file identifiers of a path "3F00/7F10/6F3A"; nullopt for a path a backup may not name:
// besides the paths above, the files of a USIM phonebook (3F00/7F10/5F3A/4Fxx and
// 3F00/7FFF/5F3A/4Fxx) and the USIM's message file (3F00/7FFF/6F3C).
std::optional<std::vector<uint16_t>> restorableFilePath(std::string_view path);

// One more file of a backup; a transparent file is one record of its size.
struct BackupFile {
    std::string filePath;
    uint8_t recordLength = 0;
    std::vector<Bytes> records;
};

struct CardBackup {
    std::string identity; // ICCID digits of the card
    std::string reader;   // the reader the card was in
    std::string filePath; // one of the paths above
    std::string taken;    // when, in UTC
    uint8_t recordLength = 0;
    std::vector<Bytes> records;
    std::vector<BackupFile> more{}; // the other files the same write changed
};

std::string cardBackupText(const CardBackup &backup);

// The backup a text holds; nullopt with a sentence in `error` when it is not a complete one.
std::optional<CardBackup> parseCardBackup(std::string_view text, std::string &error);
std::optional<CardBackup> loadCardBackup(const std::filesystem::path &path, std::string &error);

// "card-<identity>-<yyyymmdd-hhmmss-mmm>-<file id>.txt", the time in UTC, so that the names of
// one card sort by time.
std::string cardBackupFileName(const std::string &identity, const std::string &filePath,
                               std::chrono::system_clock::time_point when);

// "2024-05-01 12:00:00 UTC"
std::string backupTimeText(std::chrono::system_clock::time_point when);

// Writes the backup into folder (synced to the disk, never over another backup), then removes
// that card's backups which a newer one repeats: same files, same records. So the newest copy of
// every content a card file has had stays, however many writes or restores failed; `keep` (the
// backup being restored, if any) stays in any case. Returns the file written, or nullopt with a
// sentence in `error`.
std::optional<std::filesystem::path> saveCardBackup(const std::filesystem::path &folder,
                                                    const CardBackup &backup,
                                                    std::chrono::system_clock::time_point when,
                                                    const std::filesystem::path &keep,
                                                    std::string &error);

// The card's backups in folder, oldest first.
std::vector<std::filesystem::path> cardBackupsOf(const std::filesystem::path &folder,
                                                 const std::string &identity);

} // namespace velnor
