#include <ostream>

#include "base/TextIds.h"
#include "cli/CardRun.h"
#include "files/ListImport.h"
#include "transfer/WriteCard.h"

namespace velnor::cli {

namespace {

// The read that comes before a write answers its take-over question itself: the list read is
// replaced by the file anyway.
class ReadBeforeWritePrompts : public UserPrompts {
public:
    explicit ReadBeforeWritePrompts(UserPrompts &prompts) : prompts_(prompts) {}

    bool askYesNo(const Prompt &prompt) override {
        return prompt.id == text::CopyToLocalPhonebook ? false : prompts_.askYesNo(prompt);
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
// name length and its service centre.
bool learnCard(CardRun &run, CardFile file) {
    ReadBeforeWritePrompts quiet(run.prompts);
    const Environment &env = run.env();
    Environment reading{env.driver,   quiet,      env.texts,     env.status,
                        env.progress, env.timing, env.backupDir, env.logDir};
    return readCard(run.session, reading, file).outcome == ReadOutcome::Done;
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
        return fail(context, Usage, "Use write phonebook|messages -i FILE [--encoding NAME].");
    }
    const std::optional<const CodePage *> codePage = namedCodePage(context);
    if (!codePage) {
        return Usage;
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
                                  context.texts, *codePage);
    } else {
        session.messages.clear();
        imported = ImportListFile(*input, session.messages, session.card, report, run.prompts,
                                  context.texts, *codePage);
    }
    reportContactsWithoutNumber(context, *input, report);
    if (!imported) {
        return fail(context, Refused, "The file " + *input + " cannot be imported.");
    }
    // An empty list would clear the card: only a list with rows is written.
    if ((file == CardFile::Phonebook ? session.cardPhonebook.rowCount()
                                     : session.messages.size()) == 0) {
        return fail(context, Refused,
                    "The file " + *input + " holds no rows, so the card was left as it was.");
    }
    reportGuessedCodePage(context, *input, report);
    if (report.overLengthFound) {
        context.err << context.texts.format(file == CardFile::Phonebook
                                                ? text::EntriesChangedWhenWritten
                                                : text::MessagesChangedWhenWritten,
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
