#include "ui/ListCommands.h"

#include <fstream>

#include "base/TextIds.h"
#include "files/ContactFile.h"
#include "files/ListFile.h"
#include "records/PhoneEntryCheck.h"
#include "ui/CommandPause.h"

namespace velnor {

bool FileExists(const std::string &path) {
    std::ifstream file(path);
    return file.is_open();
}

FileChoice openListChoice(ListTab tab) {
    if (tab == ListTab::Phonebook) {
        return {"fpb", "*.fpb", {{"Saved Phone Files (*.fpb)", "*.fpb"}}};
    }
    return {"fsm", "*.fsm", {{"Saved Message Files (*.fsm)", "*.fsm"}}};
}

FileChoice saveListChoice(ListTab tab) {
    FileChoice choice = openListChoice(tab);
    choice.filters.push_back({"CSV Files(*.csv)", "*.CSV"});
    return choice;
}

FileChoice contactFileChoice() {
    return {"vcf",
            "*.vcf",
            {{"vCard (*.vcf)", "*.vcf"},
             {"CSV (*.csv)", "*.csv"},
             {"Saved Phone Files (*.fpb)", "*.fpb"},
             {"*", "*"}}};
}

namespace {

// What the user must know of an import that went through: a guessed code page, rows the card
// cannot keep as they are, contacts that gave no row.
void reportImport(ListCommandContext &context, ListTab tab, ImportReport &report) {
    const Texts &texts = context.texts;
    if (!report.guessedCodePage.empty()) {
        context.prompts.showMessage(
            MessageKind::Warning, {text::CodePageGuessed, texts.get(text::FileCaption),
                                   texts.format(text::CodePageGuessed, {report.guessedCodePage})});
    }
    if (report.overLengthFound) {
        const int id = tab == ListTab::Phonebook ? text::EntriesChangedWhenWritten
                                                 : text::MessagesChangedWhenWritten;
        context.prompts.showMessage(MessageKind::Error,
                                    {id, "", texts.format(id, {report.overLengthRows})});
        report.overLengthFound = false;
    }
    if (!report.contactsWithoutNumber.empty()) {
        context.prompts.showMessage(
            MessageKind::Warning,
            {text::ContactsWithoutNumber, texts.get(text::FileCaption),
             texts.format(text::ContactsWithoutNumber, {report.contactsWithoutNumber})});
    }
}

bool askReplace(ListCommandContext &context, const std::string &path) {
    return !FileExists(path) ||
           context.prompts.askYesNo({text::ReplaceFileQuestion,
                                     context.texts.get(text::FileCaption),
                                     context.texts.get(text::ReplaceFileQuestion)});
}

} // namespace

bool importFile(ListCommandContext &context, ListTab tab, const std::string &path,
                const CodePage *codePage, ListTargets targets, ImportReport &report) {
    report = {};
    if (tab == ListTab::Messages) {
        const bool imported = ImportListFile(path, targets.messages, targets.card, report,
                                             context.prompts, context.texts, codePage);
        if (imported) {
            reportImport(context, tab, report);
        }
        return imported;
    }
    // Before any card was read the names are checked against the longest a card can hold.
    CardState card = targets.card;
    card.alphaLength = entryAlphaLength(card.alphaLength);
    bool imported = ImportListFile(path, targets.localPhonebook, card, report, context.prompts,
                                   context.texts, codePage);
    if (!imported && !report.columnsFound.empty() && context.chooseColumns) {
        const std::optional<CsvColumnChoice> columns = context.chooseColumns(report.columnsFound);
        if (!columns) {
            return false;
        }
        imported = ImportListFile(path, targets.localPhonebook, card, report, context.prompts,
                                  context.texts, codePage, columns);
    }
    if (imported) {
        reportImport(context, tab, report);
    }
    return imported;
}

bool openListCommand(ListCommandContext &context, ListTab tab, ListTargets targets,
                     ImportReport &report) {
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    FileChoice choice = openListChoice(tab);
    choice.codePages.emplace_back();
    for (const CodePage &page : codePages()) {
        choice.codePages.emplace_back(page.name);
    }
    choice.codePage = context.codePage;
    const std::optional<OpenFileAnswer> answer = context.prompts.chooseOpenFileAndCodePage(choice);
    if (!answer) {
        return false;
    }
    context.codePage = answer->codePage;
    return importFile(context, tab, answer->path, findCodePage(answer->codePage), targets, report);
}

bool importContactsCommand(ListCommandContext &context, ListTargets targets, ImportReport &report) {
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    const std::optional<std::string> path = context.prompts.chooseOpenFile(contactFileChoice());
    return path && importFile(context, ListTab::Phonebook, *path, nullptr, targets, report);
}

bool exportContactsCommand(ListCommandContext &context, const RowList &localPhonebook) {
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    const std::optional<std::string> path = context.prompts.chooseSaveFile(contactFileChoice());
    if (!path || !askReplace(context, *path)) {
        return false;
    }
    return SaveContactFile(*path, localPhonebook, context.prompts, context.texts);
}

bool saveListCommand(ListCommandContext &context, ListTab tab, const RowList &localPhonebook,
                     const MessageList &messages) {
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    const std::optional<std::string> path = context.prompts.chooseSaveFile(saveListChoice(tab));
    if (!path) {
        return false;
    }
    if (!askReplace(context, *path)) {
        return false;
    }
    const RowList &list = tab == ListTab::Phonebook ? localPhonebook : messages.rows();
    return SaveListFile(*path, list, context.prompts, context.texts);
}

} // namespace velnor
