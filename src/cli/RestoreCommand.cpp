#include <ostream>

#include "cli/CardRun.h"
#include "cli/DriverFactory.h"
#include "transfer/CardAccess.h"
#include "transfer/CardRestore.h"

namespace velnor::cli {

namespace {

std::string known(const std::string &identity) {
    return identity.empty() ? std::string("no ICCID or IMSI that could be read") : identity;
}

std::string otherCard(const std::string &cardIdentity, const CardBackup &backup) {
    return "The card in the reader (" + known(cardIdentity) + ") is not the card " +
           backup.identity + " of the backup; nothing was written.";
}

std::string unmatched(const std::string &cardIdentity, const CardBackup &backup) {
    return "The card in the reader (" + known(cardIdentity) +
           ") cannot be compared with the card of the backup (" + known(backup.identity) +
           "); nothing was written. If it is that card, restore with --force.";
}

std::string restoreFailure(const RestoreResult &result, const CardBackup &backup) {
    switch (result.outcome) {
    case RestoreOutcome::OtherCard:
        return otherCard(result.cardIdentity, backup);
    case RestoreOutcome::Unmatched:
        return unmatched(result.cardIdentity, backup);
    case RestoreOutcome::FileDiffers:
        return "The card's file " + backup.filePath +
               " does not have the backup's record length and count; nothing was written.";
    case RestoreOutcome::Refused:
        return "The card does not allow its file " + backup.filePath +
               " to be changed (its access condition is not fulfilled); nothing was written.";
    case RestoreOutcome::BackupNotSaved:
        return "The card's present records could not be saved first, so nothing was written.";
    case RestoreOutcome::Cancelled:
        return "The restore was cancelled after " + std::to_string(result.recordsWritten) +
               " records.";
    case RestoreOutcome::CardFailed:
        return "The card stopped taking records after record " +
               std::to_string(result.recordsWritten) + ".";
    case RestoreOutcome::NotOpened:
    case RestoreOutcome::Done:
        break;
    }
    return "The card's file " + backup.filePath + " could not be reached; nothing was written.";
}

int restoreOnCard(Context &context, const CardBackup &backup, const std::string &file) {
    const bool force = context.options.has("--force");
    CardRun run(context);
    // A code given with --pin goes to no card that is plainly not the backup's.
    const int opened = run.open([&](const std::string &iccid) -> std::optional<int> {
        const IdentityMatch match = matchBeforePin(backup.identity, iccid);
        if (match == IdentityMatch::Other) {
            return fail(context, Refused, otherCard(iccid, backup));
        }
        if (match == IdentityMatch::Unknown && !force) {
            return fail(context, Refused, unmatched(iccid, backup));
        }
        return std::nullopt;
    });
    if (opened != Done) {
        return opened;
    }
    const auto writeUnmatched = [&](const std::string &cardIdentity) {
        if (force) {
            context.err << "velnor-cli: Writing the backup of " << known(backup.identity) << " ("
                        << backup.filePath << ", taken " << backup.taken << " in " << backup.reader
                        << ") onto the card in the reader (" << known(cardIdentity)
                        << "), as --force asks.\n";
        }
        return force;
    };
    const RestoreResult result =
        restoreCardBackup(run.session, run.env(), backup, {file, writeUnmatched});
    if (!result.cardBackup.empty()) {
        context.out << "Card backup: " << result.cardBackup.string() << '\n';
    }
    if (result.outcome != RestoreOutcome::Done) {
        return fail(context, Refused, restoreFailure(result, backup));
    }
    const std::string others =
        backup.more.empty() ? "" : " and " + std::to_string(backup.more.size()) + " more files";
    context.out << "Restored " << result.recordsWritten << " records of " << backup.filePath
                << others << " to the card " << known(result.cardIdentity) << ".\n";
    return Done;
}

} // namespace

int runRestore(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() != 2) {
        return fail(context, Usage, "Use restore BACKUP [--force].");
    }
    std::string error;
    const std::optional<CardBackup> backup = loadCardBackup(words[1], error);
    if (!backup) {
        return fail(context, Refused, words[1] + ": " + error);
    }
    if (!context.options.reader.search() || backup->reader.empty()) {
        return restoreOnCard(context, *backup, words[1]);
    }
    // Without --reader the card is looked for in the reader the backup was taken from.
    Options inBackupReader = context.options;
    inBackupReader.reader = ReaderName(backup->reader);
    Context there{inBackupReader,
                  context.out,
                  context.err,
                  context.texts,
                  [&inBackupReader] { return makeDriver(inBackupReader); },
                  context.dataDir,
                  context.logDir};
    return restoreOnCard(there, *backup, words[1]);
}

} // namespace velnor::cli
