#include "transfer/CardRestore.h"

#include "base/TextIds.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/FileStatus.h"
#include "transfer/CardAccess.h"
#include "transfer/CardSnapshot.h"
#include "transfer/RecordWriting.h"

namespace velnor {

namespace {

// Selects the directories and the file of the path after the master file; the file's status.
std::optional<FileStatus> selectPath(CUSBOpKrnl &driver, int handle, uint8_t f,
                                     const std::vector<uint16_t> &ids) {
    for (size_t i = 1; i + 1 < ids.size(); ++i) {
        if (!selectFile(driver, handle, ids[i], f)) {
            return std::nullopt;
        }
    }
    return selectWithStatus(driver, handle, ids.back(), f);
}

} // namespace

RestoreResult restoreCardBackup(Session &session, Environment &env, const CardBackup &backup,
                                const RestoreRequest &request) {
    RestoreResult result;
    const std::optional<std::vector<uint16_t>> ids = restorableFilePath(backup.filePath);
    if (!ids) {
        return result;
    }
    const bool cdma = *ids == filePath<EfCdmaSms>();
    const bool phonebook = *ids == filePath<EfAdn>();
    const uint8_t f = session.card.simFunction;

    env.timing.wait(env.timing.writeStart);
    PauseGuard pause(env.worker);
    env.timing.wait(env.timing.writeSettle);
    std::optional<WritableCard> card =
        openWritableCard(env.driver, session.reader.devicePath, session.card);
    if (!card) {
        return result;
    }
    result.cardIdentity = card->identity;
    switch (matchIdentities(backup.identity, card->identity)) {
    case IdentityMatch::Same:
        break;
    case IdentityMatch::Other:
        result.outcome = RestoreOutcome::OtherCard;
        return result;
    case IdentityMatch::Unknown:
        if (!request.writeUnmatched || !request.writeUnmatched(card->identity)) {
            result.outcome = RestoreOutcome::Unmatched;
            return result;
        }
        break;
    }
    if (cdma && !session.reader.readerCdmaCapable) {
        env.prompts.showMessage(MessageKind::Error, {text::CardFileNotAccessible, "",
                                                     env.texts.get(text::CardFileNotAccessible)});
        return result;
    }
    const int h = card->handle->get();
    CardTransaction transaction(env.driver, h);
    const std::optional<FileStatus> file = selectPath(env.driver, h, f, *ids);
    if (!file) {
        return result;
    }
    if (file->recordLength() != backup.recordLength ||
        file->recordCount() != backup.records.size()) {
        result.outcome = RestoreOutcome::FileDiffers;
        return result;
    }
    if (!file->updatesAllowed()) {
        result.outcome = RestoreOutcome::Refused;
        return result;
    }
    const uint16_t count = static_cast<uint16_t>(backup.records.size());

    const Snapshot snapshot = snapshotCardFile(
        env, {h, f, cdma, card->identity, session.reader.devicePath, backup.filePath,
              backup.recordLength, count, &transaction, request.file});
    if (snapshot.result != SnapshotResult::Saved) {
        env.progress.close();
        result.outcome = snapshot.result == SnapshotResult::Cancelled ? RestoreOutcome::Cancelled
                         : snapshot.result == SnapshotResult::NotSaved
                             ? RestoreOutcome::BackupNotSaved
                             : RestoreOutcome::CardFailed;
        return result;
    }
    result.cardBackup = snapshot.file;

    const RecordsWritten written = writeRecords(
        env, {h, f, cdma, phonebook, backup.recordLength, count, &transaction},
        [&backup](uint16_t index) -> std::optional<RecordBuffer> {
            RecordBuffer record{};
            std::copy(backup.records[index].begin(), backup.records[index].end(), record.begin());
            return record;
        },
        result.recordsWritten);
    transaction.end();
    if (written == RecordsWritten::CardFailed) {
        env.progress.close();
        result.outcome = RestoreOutcome::CardFailed;
        return result;
    }
    result.outcome =
        written == RecordsWritten::Cancelled ? RestoreOutcome::Cancelled : RestoreOutcome::Done;
    env.progress.close();
    card->handle.reset();
    env.timing.wait(env.timing.finishBefore);
    pause.resumeNow();
    env.timing.wait(env.timing.finishAfter);
    return result;
}

} // namespace velnor
