#include "ui/ListCommands.h"

#include <fstream>

#include "base/TextIds.h"
#include "files/ListFile.h"
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

bool openListCommand(ListCommandContext &context, ListTab tab, RowList &localPhonebook,
                     MessageList &messages, const CardState &card, ImportReport &report) {
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    report.overLengthFound = false;
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
    const CodePage *codePage = findCodePage(answer->codePage);
    const std::string &path = answer->path;
    const bool imported = tab == ListTab::Phonebook
                              ? ImportListFile(path, localPhonebook, card, report, context.prompts,
                                               context.texts, codePage)
                              : ImportListFile(path, messages, card, report, context.prompts,
                                               context.texts, codePage);
    if (imported && !report.guessedCodePage.empty()) {
        context.prompts.showMessage(
            MessageKind::Warning,
            {text::CodePageGuessed, context.texts.get(text::FileCaption),
             context.texts.format(text::CodePageGuessed, {report.guessedCodePage})});
    }
    if (imported && report.overLengthFound) {
        const int id = tab == ListTab::Phonebook ? text::EntriesChangedWhenWritten
                                                 : text::MessagesChangedWhenWritten;
        context.prompts.showMessage(MessageKind::Error,
                                    {id, "", context.texts.format(id, {report.overLengthRows})});
        report.overLengthFound = false;
    }
    return imported;
}

bool saveListCommand(ListCommandContext &context, ListTab tab, const RowList &localPhonebook,
                     const MessageList &messages) {
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    const std::optional<std::string> path = context.prompts.chooseSaveFile(saveListChoice(tab));
    if (!path) {
        return false;
    }
    if (FileExists(*path) &&
        !context.prompts.askYesNo({text::ReplaceFileQuestion, context.texts.get(text::FileCaption),
                                   context.texts.get(text::ReplaceFileQuestion)})) {
        return false;
    }
    const RowList &list = tab == ListTab::Phonebook ? localPhonebook : messages.rows();
    return SaveListFile(*path, list, context.prompts, context.texts);
}

} // namespace velnor
