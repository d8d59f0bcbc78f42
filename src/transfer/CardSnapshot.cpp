#include "transfer/CardSnapshot.h"

#include <array>
#include <chrono>

#include "base/TextIds.h"
#include "transfer/CardBackup.h"
#include "transfer/RecordProgress.h"

namespace velnor {

Snapshot snapshotCardFile(Environment &env, const SnapshotSource &source) {
    CardBackup backup;
    backup.identity = source.identity;
    backup.reader = source.reader;
    backup.filePath = source.filePath;
    backup.recordLength = source.recordLength;
    backup.records.reserve(source.recordCount);

    env.progress.begin(env.texts.get(text::PleaseWait), env.texts.get(text::SavingBackup), 0,
                       source.recordCount);
    for (uint16_t i = 1; i <= source.recordCount; ++i) {
        if (!progressGoesOn(env, source.transaction)) {
            return {SnapshotResult::Cancelled, {}};
        }
        env.status.showProgress(text::ReadingRecord, source.recordCount, i);
        if (source.files != nullptr) {
            std::optional<Bytes> record = source.files->read(static_cast<uint8_t>(i));
            if (!record) {
                return {SnapshotResult::CardFailed, {}};
            }
            backup.records.push_back(std::move(*record));
            continue;
        }
        std::array<uint8_t, 260> record{};
        if (env.driver.ReadRecord(source.handle, source.recordLength, static_cast<uint8_t>(i),
                                  source.simFunction, record.data(), source.cdma) == 0) {
            return {SnapshotResult::CardFailed, {}};
        }
        backup.records.emplace_back(record.begin(), record.begin() + source.recordLength);
    }
    return saveSnapshot(env, std::move(backup), source.keep, source.transaction);
}

Snapshot saveSnapshot(Environment &env, CardBackup backup, const std::filesystem::path &keep,
                      CardTransaction *transaction) {
    const auto now = std::chrono::system_clock::now();
    backup.taken = backupTimeText(now);
    std::string error;
    const std::optional<std::filesystem::path> saved =
        saveCardBackup(env.backupDir, backup, now, keep, error);
    if (!saved) {
        if (transaction != nullptr) {
            transaction->end();
        }
        env.prompts.showMessage(MessageKind::Error,
                                {text::BackupNotSaved, "",
                                 env.texts.format(text::BackupNotSaved, {env.backupDir.string()})});
        return {SnapshotResult::NotSaved, {}};
    }
    return {SnapshotResult::Saved, *saved};
}

} // namespace velnor
