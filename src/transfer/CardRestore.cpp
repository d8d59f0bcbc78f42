#include "transfer/CardRestore.h"

#include "base/TextIds.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/FileStatus.h"
#include "transfer/CardAccess.h"
#include "transfer/CardSnapshot.h"
#include "transfer/RecordProgress.h"
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

// The files of a backup, the first one and the others alike.
std::vector<BackupFile> backupFiles(const CardBackup &backup) {
    std::vector<BackupFile> files{{backup.filePath, backup.recordLength, backup.records}};
    files.insert(files.end(), backup.more.begin(), backup.more.end());
    return files;
}

// Record numbers of a file as the card has it: 0 alone for a transparent file.
uint8_t recordNumber(const RecordFiles::Shape &shape, size_t index) {
    return shape.transparent ? 0 : static_cast<uint8_t>(index + 1);
}

// The files of a backup onto a UICC: each is checked against the card's, all are kept in one
// card backup, then written back file by file.
RestoreResult restoreUiccFiles(Environment &env, RecordFiles &files, const CardBackup &backup,
                               const RestoreRequest &request, CardTransaction &transaction,
                               RestoreResult result) {
    const std::vector<BackupFile> wanted = backupFiles(backup);
    std::vector<RecordFiles::Shape> shapes;
    for (const BackupFile &file : wanted) {
        const std::optional<RecordFiles::Shape> shape =
            files.select(*restorableFilePath(file.filePath));
        if (!shape) {
            return result;
        }
        const size_t count = shape->transparent ? 1 : shape->recordCount;
        if (shape->recordLength != file.recordLength || count != file.records.size()) {
            result.outcome = RestoreOutcome::FileDiffers;
            return result;
        }
        shapes.push_back(*shape);
    }
    CardBackup present = backup;
    present.identity = result.cardIdentity;
    env.progress.begin(env.texts.get(text::PleaseWait), env.texts.get(text::SavingBackup), 0, 0);
    for (size_t i = 0; i < wanted.size(); ++i) {
        std::vector<Bytes> &records = i == 0 ? present.records : present.more[i - 1].records;
        files.select(*restorableFilePath(wanted[i].filePath));
        for (size_t r = 0; r < records.size(); ++r) {
            if (!progressGoesOn(env, &transaction)) {
                result.outcome = RestoreOutcome::Cancelled;
                return result;
            }
            std::optional<Bytes> record = files.read(recordNumber(shapes[i], r));
            if (!record) {
                result.outcome = RestoreOutcome::CardFailed;
                return result;
            }
            records[r] = std::move(*record);
        }
    }
    const Snapshot snapshot = saveSnapshot(env, std::move(present), request.file, &transaction);
    if (snapshot.result != SnapshotResult::Saved) {
        result.outcome = RestoreOutcome::BackupNotSaved;
        return result;
    }
    result.cardBackup = snapshot.file;
    env.progress.begin(env.texts.get(text::PleaseWait), env.texts.get(text::WorkingWithCard), 0, 0);
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (!files.select(*restorableFilePath(wanted[i].filePath))) {
            result.outcome = RestoreOutcome::CardFailed;
            return result;
        }
        for (size_t r = 0; r < wanted[i].records.size(); ++r) {
            if (!progressGoesOn(env, &transaction)) {
                result.outcome = RestoreOutcome::Cancelled;
                return result;
            }
            if (!files.update(recordNumber(shapes[i], r), wanted[i].records[r])) {
                result.outcome = RestoreOutcome::CardFailed;
                return result;
            }
            ++result.recordsWritten;
        }
    }
    result.outcome = RestoreOutcome::Done;
    return result;
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
    if (card->uicc || !backup.more.empty()) {
        if (!card->uicc) {
            return result; // the files of a USIM phonebook are not reached through class A0
        }
        result = restoreUiccFiles(env, card->uicc->files, backup, request, transaction, result);
        transaction.end();
        env.progress.close();
        card->handle.reset();
        if (result.outcome == RestoreOutcome::Done || result.outcome == RestoreOutcome::Cancelled) {
            env.timing.wait(env.timing.finishBefore);
            pause.resumeNow();
            env.timing.wait(env.timing.finishAfter);
        }
        return result;
    }
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
