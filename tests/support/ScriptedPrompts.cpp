#include "support/ScriptedPrompts.h"

namespace velnor::test {

bool ScriptedPrompts::askYesNo(const Prompt &prompt) {
    asked.push_back({Asked::YesNo, prompt.id, prompt.text});
    if (yesNo.empty()) {
        return false;
    }
    const bool answer = yesNo.front();
    yesNo.pop_front();
    return answer;
}

void ScriptedPrompts::showMessage(MessageKind kind, const Prompt &prompt) {
    asked.push_back({Asked::Message, prompt.id, prompt.text, kind});
}

std::optional<std::string> ScriptedPrompts::chooseOpenFile(const FileChoice &choice) {
    asked.push_back({Asked::OpenFile, 0, choice.defaultExtension});
    if (files.empty()) {
        return std::nullopt;
    }
    std::string file = files.front();
    files.pop_front();
    return file;
}

std::optional<std::string> ScriptedPrompts::chooseSaveFile(const FileChoice &choice) {
    asked.push_back({Asked::SaveFile, 0, choice.defaultExtension});
    if (files.empty()) {
        return std::nullopt;
    }
    std::string file = files.front();
    files.pop_front();
    return file;
}

std::optional<OpenFileAnswer> ScriptedPrompts::chooseOpenFileAndCodePage(const FileChoice &choice) {
    std::optional<std::string> path = chooseOpenFile(choice);
    if (!path) {
        return std::nullopt;
    }
    OpenFileAnswer answer{std::move(*path), choice.codePage};
    if (!codePages.empty()) {
        answer.codePage = codePages.front();
        codePages.pop_front();
    }
    return answer;
}

std::optional<CodeAnswer> ScriptedPrompts::askCodes(const CodeRequest &request) {
    asked.push_back({Asked::Codes, static_cast<int>(request.dialog), std::string()});
    codeRequests.push_back(request);
    if (codes.empty()) {
        return std::nullopt;
    }
    CodeAnswer answer = codes.front();
    codes.pop_front();
    return answer;
}

std::vector<int> ScriptedPrompts::ids() const {
    std::vector<int> result;
    for (const Asked &a : asked) {
        result.push_back(a.id);
    }
    return result;
}

} // namespace velnor::test
