#include <ostream>

#include "cli/CardRun.h"
#include "cli/DriverFactory.h"
#include "files/ListImport.h"
#include "transfer/CardRestore.h"
#include "transfer/CardWriter.h"

namespace velnor::cli {

namespace {

// The read that comes before a write answers its take-over question itself: the list read is
// replaced by the file anyway.
class ReadBeforeWritePrompts : public UserPrompts {
public:
    explicit ReadBeforeWritePrompts(UserPrompts &prompts) : prompts_(prompts) {}

    bool askYesNo(const Prompt &prompt) override {
        return prompt.id == 8023 ? false : prompts_.askYesNo(prompt);
    }
    void showMessage(MessageKind kind, const Prompt &prompt) override {
        prompts_.showMessage(kind, prompt);
    }
    std::optional<std::string> chooseOpenFile(const FileChoice &choice) override {
        return prompts_.chooseOpenFile(choice);
    }
    std::optional<std::string> chooseSaveFile(const FileChoice &choice) override {
        return prompts_.chooseSaveFile(choice);
    }
    std::optional<CodeAnswer> askCodes(const CodeRequest &request) override {
        return prompts_.askCodes(request);
    }

private:
    UserPrompts &prompts_;
};

// Reads the file of the card first, as the window does before a write: that sets the card's
// name length, whether it keeps the 0x82 name coding, and its service centre.
bool learnCard(CardRun &run, CardFile file) {
    ReadBeforeWritePrompts quiet(run.prompts);
    const Environment &env = run.env();
    Environment reading{env.driver, quiet,        env.texts,  env.status,    env.commands,
                        env.worker, env.progress, env.timing, env.backupDir, env.logDir};
    return readCard(run.session, reading, file) == ReadOutcome::Done;
}

constexpr const char *kCancelledBeforeWriting =
    "The write was cancelled before anything was written.";

std::string writeFailure(const WriteResult &result) {
    if (result.cardBackup.empty()) {
        return "The card could not be written; nothing on it was changed.";
    }
    return "The card stopped taking records after record " + std::to_string(result.recordsWritten) +
           "; its records as they were before are in " + result.cardBackup.string() +
           " (velnor-cli restore puts them back).";
}

} // namespace

int runWrite(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    const std::optional<std::string> input = context.options.value("-i");
    if (words.size() != 2 || (words[1] != "phonebook" && words[1] != "messages") || !input) {
        return fail(context, Usage, "Use write phonebook -i FILE or write messages -i FILE.");
    }
    const CardFile file = words[1] == "phonebook" ? CardFile::Phonebook : CardFile::Messages;
    CardRun run(context);
    if (const int status = run.open(); status != Done) {
        return status;
    }
    if (!learnCard(run, file)) {
        return fail(context, Refused,
                    interruptedByUser() ? kCancelledBeforeWriting
                                        : "The card could not be read, so nothing was written.");
    }

    Session &session = run.session;
    ImportReport report;
    bool imported = false;
    if (file == CardFile::Phonebook) {
        session.cardPhonebook.clear();
        imported = ImportListFile(*input, session.cardPhonebook, session.card, report, run.prompts,
                                  context.texts);
    } else {
        session.messages.clear();
        imported = ImportListFile(*input, session.messages, session.card, report, run.prompts,
                                  context.texts);
    }
    if (!imported) {
        return fail(context, Refused, "The file " + *input + " cannot be imported.");
    }
    if (report.overLengthFound) {
        context.err << context.texts.format(file == CardFile::Phonebook ? 8034 : 8070,
                                            {report.overLengthRows})
                    << '\n';
    }

    const WriteResult result = writeCard(session, run.env(), file);
    if (!result.cardBackup.empty()) {
        context.out << "Card backup: " << result.cardBackup.string() << '\n';
    }
    switch (result.outcome) {
    case WriteOutcome::Done:
        return Done;
    case WriteOutcome::Declined:
        return fail(context, Refused, "Nothing was written: answer the question with --yes.");
    case WriteOutcome::Cancelled:
        return fail(context, Refused,
                    result.recordsWritten == 0
                        ? kCancelledBeforeWriting
                        : "The write was cancelled after " + std::to_string(result.recordsWritten) +
                              " records; the records after them are as they were.");
    case WriteOutcome::Failed:
        break;
    }
    return fail(context, Refused, writeFailure(result));
}

} // namespace velnor::cli

namespace velnor::cli {

namespace {

std::string restoreFailure(const RestoreResult &result, const CardBackup &backup) {
    switch (result.outcome) {
    case RestoreOutcome::OtherCard:
        return "The card in the reader (" +
               (result.cardIdentity.empty() ? std::string("no identity") : result.cardIdentity) +
               ") is not the card " + backup.identity + " of the backup; nothing was written.";
    case RestoreOutcome::FileDiffers:
        return "The card's file " + backup.filePath +
               " does not have the backup's record length and count; nothing was written.";
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

int restoreOnCard(Context &context, const CardBackup &backup) {
    CardRun run(context);
    if (const int status = run.open(); status != Done) {
        return status;
    }
    const RestoreResult result = restoreCardBackup(run.session, run.env(), backup);
    if (!result.cardBackup.empty()) {
        context.out << "Card backup: " << result.cardBackup.string() << '\n';
    }
    if (result.outcome != RestoreOutcome::Done) {
        return fail(context, Refused, restoreFailure(result, backup));
    }
    context.out << "Restored " << result.recordsWritten << " records of " << backup.filePath
                << " to the card " << backup.identity << ".\n";
    return Done;
}

} // namespace

int runRestore(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() != 2) {
        return fail(context, Usage, "Use restore BACKUP.");
    }
    std::string error;
    const std::optional<CardBackup> backup = loadCardBackup(words[1], error);
    if (!backup) {
        return fail(context, Refused, words[1] + ": " + error);
    }
    if (context.options.reader || backup->reader.empty()) {
        return restoreOnCard(context, *backup);
    }
    // Without --reader the card is looked for in the reader the backup was taken from.
    Options inBackupReader = context.options;
    inBackupReader.reader = backup->reader;
    Context there{inBackupReader,
                  context.out,
                  context.err,
                  context.texts,
                  [&inBackupReader] { return makeDriver(inBackupReader); },
                  context.dataDir,
                  context.logDir};
    return restoreOnCard(there, *backup);
}

} // namespace velnor::cli
