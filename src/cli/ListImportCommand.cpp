#include <ostream>

#include "base/TextIds.h"
#include "card/EfAdn.h"
#include "card/FileStatus.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "files/ListImport.h"
#include "reader/CardHandle.h"
#include "reader/ReaderInquiry.h"
#include "transfer/Session.h"

namespace velnor::cli {

namespace {

// The limits of the card in the reader, learnt from its file status alone (no PIN needed):
// the name length of its phonebook records, and whether its messages take the CDMA codings.
std::optional<CardState> cardLimits(Context &context) {
    const std::unique_ptr<CUSBOpKrnl> driver = context.makeDriver();
    const ReaderChoice reader = velnor::chooseReader(*driver);
    if (reader.fault != ReaderChoice::Fault::None) {
        return std::nullopt;
    }
    const uint8_t f = reader.inquiry.simFunction.value_or(0);
    CardHandle handle(*driver, reader.path);
    if (!handle.isOpen() || !selectFile(*driver, handle.get(), df::Master, f)) {
        return std::nullopt;
    }
    CardState card;
    card.isCdmaCard = detectCdmaCard(*driver, handle.get(), f);
    if (!selectFile(*driver, handle.get(), df::Master, f) ||
        !selectFile(*driver, handle.get(), df::Telecom, f)) {
        return std::nullopt;
    }
    const std::optional<FileStatus> phonebook =
        selectWithStatus(*driver, handle.get(), EfAdn::id, f);
    if (!phonebook || phonebook->recordLength() < EfAdn::tail) {
        return std::nullopt;
    }
    card.alphaLength = phonebook->recordLength() - EfAdn::tail;
    return card;
}

} // namespace

std::optional<const CodePage *> namedCodePage(Context &context) {
    const std::optional<std::string> name = context.options.value("--encoding");
    if (!name) {
        return nullptr;
    }
    const CodePage *page = findCodePage(*name);
    if (page == nullptr) {
        fail(context, Usage,
             "The encoding " + *name + " is not one velnor-cli reads; use one of " +
                 codePageNames() + ".");
        return std::nullopt;
    }
    return page;
}

void reportGuessedCodePage(Context &context, const std::string &file, const ImportReport &report) {
    if (!report.guessedCodePage.empty()) {
        context.err << "velnor-cli: " << file << ": the code page could not be told for certain; "
                    << "it was read as " << report.guessedCodePage
                    << ". If names look wrong, name the right one with --encoding.\n";
    }
}

void reportContactsWithoutNumber(Context &context, const std::string &file,
                                 const ImportReport &report) {
    if (!report.contactsWithoutNumber.empty()) {
        context.err << file << ": "
                    << context.texts.format(text::ContactsWithoutNumber,
                                            {report.contactsWithoutNumber})
                    << '\n';
    }
}

int runListImport(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() < 4 || words[1] != "import" ||
        (words[2] != "phonebook" && words[2] != "messages")) {
        return fail(context, Usage,
                    "Use list import phonebook|messages FILE... [-o FILE] [--encoding NAME].");
    }
    const std::optional<const CodePage *> codePage = namedCodePage(context);
    if (!codePage) {
        return Usage;
    }
    const bool phonebook = words[2] == "phonebook";
    const std::optional<CardState> limits = cardLimits(context);
    if (!limits) {
        context.err << "velnor-cli: no card to check the rows against; their lengths are not "
                       "checked.\n";
    }
    const CardState card = limits.value_or(CardState{});
    ConsolePrompts prompts(context.err, context.options.answer, context.options.pin);
    Session lists;
    lists.setTitles(context.texts);
    for (size_t i = 3; i < words.size(); ++i) {
        ImportReport report;
        const bool imported = phonebook ? ImportListFile(words[i], lists.localPhonebook, card,
                                                         report, prompts, context.texts, *codePage)
                                        : ImportListFile(words[i], lists.messages, card, report,
                                                         prompts, context.texts, *codePage);
        reportContactsWithoutNumber(context, words[i], report);
        if (!imported) {
            return fail(context, Refused, "The file " + words[i] + " cannot be imported.");
        }
        reportGuessedCodePage(context, words[i], report);
        if (limits && report.overLengthFound) {
            context.err << words[i] << ": "
                        << context.texts.format(phonebook ? text::EntriesChangedWhenWritten
                                                          : text::MessagesChangedWhenWritten,
                                                {report.overLengthRows})
                        << '\n';
        }
    }
    const RowList &list = phonebook ? lists.localPhonebook : lists.messages.rows();
    return writeListOutput(context, list, prompts, true, phonebook);
}

} // namespace velnor::cli
