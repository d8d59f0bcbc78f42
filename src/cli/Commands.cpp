#include "cli/Commands.h"

#include <filesystem>
#include <ostream>

#include "base/TextIds.h"
#include "files/ContactFile.h"
#include "files/ListFile.h"

namespace velnor::cli {

int exitFor(ProfileFault fault) {
    return fault == ProfileFault::Unreadable ? Refused : NoCard;
}

int fail(Context &context, int status, const std::string &sentence) {
    context.err << "velnor-cli: " << sentence << '\n';
    return status;
}

int writeListOutput(Context &context, const RowList &list, UserPrompts &prompts, bool askFirst,
                    bool phonebook) {
    const std::optional<std::string> output = context.options.value("-o");
    if (!output || *output == "-") {
        context.out << listFileText(list);
        return Done;
    }
    std::error_code ignored;
    if (askFirst && std::filesystem::is_regular_file(*output, ignored) &&
        !prompts.askYesNo({text::ReplaceFileQuestion, context.texts.get(text::FileCaption),
                           context.texts.get(text::ReplaceFileQuestion)})) {
        return fail(context, Refused, *output + " was left as it was.");
    }
    const bool saved = phonebook ? SaveContactFile(*output, list, prompts, context.texts)
                                 : SaveListFile(*output, list, prompts, context.texts);
    return saved ? Done : Refused;
}

int runCommand(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    const std::string &name = words.front();
    if (name == "readers") {
        return runReaders(context);
    }
    if (name == "info") {
        return runInfo(context);
    }
    if (name == "read") {
        return runRead(context);
    }
    if (name == "write") {
        return runWrite(context);
    }
    if (name == "list") {
        return runListImport(context);
    }
    if (name == "restore") {
        return runRestore(context);
    }
    if (name == "decode") {
        return runDecode(context);
    }
    if (name == "encode") {
        return runEncode(context);
    }
    if (name == "card" && words.size() >= 2 && words[1] == "demo") {
        return runCardDemo(context);
    }
    if (name == "card" && words.size() >= 2 && words[1] == "serve") {
        return runCardServe(context);
    }
    if (name == "pin") {
        return runPin(context);
    }
    return fail(context, Usage, "Unknown command \"" + name + "\"; see velnor-cli --help.");
}

} // namespace velnor::cli
