#include <nlohmann/json.hpp>
#include <ostream>

#include "base/TextIds.h"
#include "card/CardOpening.h"
#include "card/CardRecordFiles.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/Fcp.h"
#include "card/FileStatus.h"
#include "card/UsimApplication.h"
#include "card/UsimPhonebook.h"
#include "cli/CardRun.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "reader/ReaderInquiry.h"
#include "reader/UiccChannel.h"
#include "transfer/CardAccess.h"
#include "transfer/ReadCard.h"

namespace velnor::cli {

namespace {

// Why the reader search found nothing, as one sentence: no reader, or pcscd not running and how
// to start it.
std::string noReaderSentence(const Context &context, const CUSBOpKrnl &driver) {
    if (driver.serviceMissing()) {
        return context.texts.get(text::PcscdNotRunning);
    }
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
                      context.options.reader.search() ? noReaderSentence(context, driver)
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

// The same through class 00, from the file's FCP template.
FileShape fileShape(UiccChannel &channel, std::span<const uint16_t> path) {
    const auto bytes = channel.selectPath(path);
    const auto fcp = bytes ? parseFcp(*bytes) : std::nullopt;
    return fcp ? FileShape{fcp->recordLength, fcp->recordCount} : FileShape{};
}

struct CardInfo {
    std::string identity;
    bool pinEnabled = false;
    int attemptsLeft = 0;
    bool cdma = false;
    CardKind kind = CardKind::GsmSim;
    FileShape phonebook;
    FileShape messages;
};

const char *kindName(CardKind kind) {
    switch (kind) {
    case CardKind::UiccWithUsim:
        return "UICC with USIM";
    case CardKind::UsimOnly:
        return "USIM only";
    case CardKind::GsmSim:
        break;
    }
    return "GSM SIM";
}

// The files of a UICC as its card operations find them: the phonebook is its USIM phonebook,
// every ADN set of it, when EF PBR lists one; the messages are under the USIM or DF TELECOM.
void takeUiccFiles(UiccChannel &channel, CardInfo &info) {
    UiccRecordFiles files(channel);
    if (const std::optional<UsimPhonebook> book = UsimPhonebook::open(files)) {
        info.phonebook = {book->adnRecordLength(), static_cast<int>(book->capacity())};
    }
    if (const std::optional<FoundFile> file = selectMessageFile(files, EfSms::id)) {
        info.messages = {file->shape.recordLength, file->shape.recordCount};
    }
}

// A card that refused class A0: its USIM and files through class 00.
std::optional<CardInfo> uiccInfo(CUSBOpKrnl &driver, int handle) {
    const std::optional<UsimState> usim = usimAfterRefusal(driver, handle);
    if (!usim) {
        return std::nullopt;
    }
    UiccChannel channel(driver, handle);
    CardInfo info;
    info.kind = CardKind::UsimOnly;
    info.pinEnabled = usim->pin1Enabled;
    info.attemptsLeft = usim->attemptsLeft;
    info.identity = readUiccIdentity(channel).value_or(std::string());
    info.phonebook = fileShape(channel, EfAdn::path);
    takeUiccFiles(channel, info);
    return info;
}

} // namespace

int runReaders(Context &context) {
    const std::unique_ptr<CUSBOpKrnl> driver = context.makeDriver();
    const std::vector<ReaderEntry> readers = driver->ListReaders();
    if (readers.empty()) {
        return fail(context, NoCard, noReaderSentence(context, *driver));
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
    std::optional<CardInfo> info;
    if (const auto master = selectWithStatus(*driver, handle.get(), df::Master, f)) {
        info = CardInfo();
        info->identity = readCardIdentity(*driver, handle.get(), f);
        info->pinEnabled = master->chv1Enabled();
        info->attemptsLeft = master->chv1AttemptsLeft();
        info->cdma = detectCdmaCard(*driver, handle.get(), f);
        info->phonebook = fileShape(*driver, handle.get(), f, df::Telecom, EfAdn::id);
        info->messages = fileShape(*driver, handle.get(), f, info->cdma ? df::Cdma : df::Telecom,
                                   info->cdma ? EfCdmaSms::id : EfSms::id);
        UiccChannel channel(*driver, handle.get());
        if (openUsim(channel)) {
            info->kind = CardKind::UiccWithUsim;
            takeUiccFiles(channel, *info);
        }
    } else {
        info = uiccInfo(*driver, handle.get());
    }
    if (!info) {
        return fail(context, Refused, "The card does not answer the selection of its master file.");
    }
    if (context.options.json) {
        context.out << nlohmann::json{{"iccid", info->identity},
                                      {"chv1Enabled", info->pinEnabled},
                                      {"chv1AttemptsLeft", info->attemptsLeft},
                                      {"type", info->cdma ? "CDMA" : "GSM"},
                                      {"card", kindName(info->kind)},
                                      {"phonebook",
                                       {{"recordLength", info->phonebook.recordLength},
                                        {"recordCount", info->phonebook.recordCount}}},
                                      {"messages",
                                       {{"recordLength", info->messages.recordLength},
                                        {"recordCount", info->messages.recordCount}}}}
                           .dump()
                    << '\n';
    } else {
        context.out << "ICCID: " << info->identity << "\nPIN: " << (info->pinEnabled ? "on" : "off")
                    << ", " << info->attemptsLeft
                    << " attempts left\nType: " << (info->cdma ? "CDMA" : "GSM")
                    << "\nCard: " << kindName(info->kind)
                    << "\nPhonebook: " << info->phonebook.recordCount << " records of "
                    << info->phonebook.recordLength
                    << " bytes\nMessages: " << info->messages.recordCount << " records of "
                    << info->messages.recordLength << " bytes\n";
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
