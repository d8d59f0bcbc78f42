#include <nlohmann/json.hpp>
#include <ostream>

#include "base/TextIds.h"
#include "card/CardOpening.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/FileStatus.h"
#include "cli/CardRun.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "reader/ReaderInquiry.h"
#include "transfer/ReadCard.h"

namespace velnor::cli {

namespace {

// Why the reader search found nothing, as one sentence: no reader, or pcscd not running.
std::string noReaderSentence(const CUSBOpKrnl &driver) {
    const std::string why = driver.lastError();
    return why.empty() ? "No card reader found." : why;
}

} // namespace

std::optional<ReaderChoice> chooseReader(Context &context, CUSBOpKrnl &driver, int &status) {
    ReaderChoice choice = velnor::chooseReader(driver);
    switch (choice.fault) {
    case ReaderChoice::Fault::None:
        return choice;
    case ReaderChoice::Fault::NoReader:
        // A reader named but not attached is reported as the window reports it.
        status = fail(context, NoCard,
                      context.options.reader.search() ? noReaderSentence(driver)
                                                      : context.texts.get(text::NoReaderFound));
        break;
    case ReaderChoice::Fault::NoProfile:
        status = fail(context, exitFor(choice.profileFault), choice.why);
        break;
    case ReaderChoice::Fault::CannotOpen:
    case ReaderChoice::Fault::NoSimFunction:
        status = fail(context, NoCard, "The reader " + choice.path + " does not answer.");
        break;
    }
    return std::nullopt;
}

namespace {

struct FileShape {
    int recordLength = 0;
    int recordCount = 0;
};

FileShape fileShape(CUSBOpKrnl &driver, int handle, uint8_t f, uint16_t directory, uint16_t file) {
    if (!selectFile(driver, handle, df::Master, f) || !selectFile(driver, handle, directory, f)) {
        return {};
    }
    const std::optional<FileStatus> status = selectWithStatus(driver, handle, file, f);
    return status ? FileShape{status->recordLength(), status->recordCount()} : FileShape{};
}

} // namespace

int runReaders(Context &context) {
    const std::unique_ptr<CUSBOpKrnl> driver = context.makeDriver();
    const std::vector<ReaderEntry> readers = driver->ListReaders();
    if (readers.empty()) {
        return fail(context, NoCard, noReaderSentence(*driver));
    }
    for (const ReaderEntry &reader : readers) {
        context.out << reader.name << '\t' << (reader.cardPresent ? "card" : "empty") << '\n';
    }
    return Done;
}

int runInfo(Context &context) {
    const std::unique_ptr<CUSBOpKrnl> driver = context.makeDriver();
    int status = Done;
    const std::optional<ReaderChoice> reader = chooseReader(context, *driver, status);
    if (!reader) {
        return status;
    }
    const uint8_t f = reader->inquiry.simFunction.value_or(0);
    CardHandle handle(*driver, reader->path);
    CardTransaction transaction(*driver, handle.get());
    std::array<uint8_t, 64> atr{};
    if (!handle.isOpen() || driver->GetATRValue(handle.get(), atr.data(), f) == 0) {
        return fail(context, NoCard, "There is no card in the reader " + reader->path + ".");
    }
    const std::optional<FileStatus> master = selectWithStatus(*driver, handle.get(), df::Master, f);
    if (!master) {
        return fail(context, Refused, "The card does not answer the selection of its master file.");
    }
    const std::string identity = readCardIdentity(*driver, handle.get(), f);
    const bool cdma = detectCdmaCard(*driver, handle.get(), f);
    const FileShape phonebook = fileShape(*driver, handle.get(), f, df::Telecom, EfAdn::id);
    const FileShape messages = fileShape(*driver, handle.get(), f, cdma ? df::Cdma : df::Telecom,
                                         cdma ? EfCdmaSms::id : EfSms::id);
    if (context.options.json) {
        context.out << nlohmann::json{{"iccid", identity},
                                      {"chv1Enabled", master->chv1Enabled()},
                                      {"chv1AttemptsLeft", master->chv1AttemptsLeft()},
                                      {"type", cdma ? "CDMA" : "GSM"},
                                      {"phonebook",
                                       {{"recordLength", phonebook.recordLength},
                                        {"recordCount", phonebook.recordCount}}},
                                      {"messages",
                                       {{"recordLength", messages.recordLength},
                                        {"recordCount", messages.recordCount}}}}
                           .dump()
                    << '\n';
    } else {
        context.out << "ICCID: " << identity << "\nPIN: " << (master->chv1Enabled() ? "on" : "off")
                    << ", " << int(master->chv1AttemptsLeft())
                    << " attempts left\nType: " << (cdma ? "CDMA" : "GSM")
                    << "\nPhonebook: " << phonebook.recordCount << " records of "
                    << phonebook.recordLength << " bytes\nMessages: " << messages.recordCount
                    << " records of " << messages.recordLength << " bytes\n";
    }
    return Done;
}

int runRead(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() != 2 || (words[1] != "phonebook" && words[1] != "messages")) {
        return fail(context, Usage, "Use read phonebook or read messages.");
    }
    const CardFile file = words[1] == "phonebook" ? CardFile::Phonebook : CardFile::Messages;
    CardRun run(context);
    if (const int status = run.open(); status != Done) {
        return status;
    }
    const Session &session = run.session;
    switch (readCard(run.session, run.env(), file).outcome) {
    case ReadOutcome::Done:
        break;
    case ReadOutcome::Cancelled: {
        const std::optional<std::string> output = context.options.value("-o");
        return fail(context, Refused,
                    "The read was cancelled; " + (output && *output != "-"
                                                      ? *output + " was left as it was."
                                                      : std::string("no list was printed.")));
    }
    case ReadOutcome::Failed:
        return fail(context, Refused, "The card could not be read to the end.");
    }
    const RowList &list = file == CardFile::Messages        ? session.messages.rows()
                          : session.activePhonebook.local() ? session.localPhonebook
                                                            : session.cardPhonebook;
    return writeListOutput(context, list, run.prompts, false, file == CardFile::Phonebook);
}

} // namespace velnor::cli
