#pragma once

#include "ReadFixture.h"
#include "transfer/CardBackup.h"
#include "transfer/CardWriter.h"

namespace velnor::test {

inline constexpr const char *kAdnPath = "3F00/7F10/6F3A";
inline constexpr const char *kSmsPath = "3F00/7F10/6F3C";
inline constexpr const char *kCdmaSmsPath = "3F00/7F25/6F3C";
// The identity of the fixture's cards: EF_ICCID 98103254769810325476 read as BCD.
inline constexpr const char *kIdentity = "89012345678901234567";

// A card in a simulated reader, written through the window's services.
class WriteFixture : public ReadFixture {
protected:
    WriteResult write(CardFile file) { return writeCard(session, env, file); }

    // The records of a card file as hexadecimal, record 1 first.
    std::vector<std::string> cardRecords(const std::string &path, size_t count) {
        std::vector<std::string> records;
        for (size_t i = 1; i <= count; ++i) {
            const std::optional<Bytes> record = cardRecord(path, i);
            records.push_back(record ? CMyTools::hex2asc(record->data(), record->size()) : "");
        }
        return records;
    }

    std::vector<std::filesystem::path> cardBackups() {
        return cardBackupsOf(dir.path(), kIdentity);
    }

    // The records a card backup file holds, as hexadecimal.
    std::vector<std::string> backupRecords(const std::filesystem::path &path) {
        std::string error;
        const std::optional<CardBackup> backup = loadCardBackup(path, error);
        EXPECT_TRUE(backup) << error;
        std::vector<std::string> records;
        if (backup) {
            for (const Bytes &record : backup->records) {
                records.push_back(CMyTools::hex2asc(record.data(), record.size()));
            }
        }
        return records;
    }

    void expectWorkerBack() {
        EXPECT_EQ(worker.depth, 0);
        EXPECT_FALSE(worker.unbalanced);
        EXPECT_FALSE(progress.open);
    }
};

} // namespace velnor::test
