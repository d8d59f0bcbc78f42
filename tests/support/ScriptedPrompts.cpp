#include "support/ScriptedPrompts.h"

namespace velnor::test {

namespace {

// The next scripted answer, taken off its queue; nothing once the queue is empty.
template <typename Answer> std::optional<Answer> next(std::deque<Answer> &queue) {
    if (queue.empty()) {
        return std::nullopt;
    }
    Answer answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

void ScriptedPrompts::note(Asked a) {
    if (inTransaction && inTransaction()) {
        ++askedInTransaction;
    }
    asked.push_back(std::move(a));
}

bool ScriptedPrompts::askYesNo(const Prompt &prompt) {
    note({Asked::YesNo, prompt.id, prompt.text});
    return next(yesNo).value_or(false);
}

void ScriptedPrompts::showMessage(MessageKind kind, const Prompt &prompt) {
    note({Asked::Message, prompt.id, prompt.text, kind});
}

std::optional<std::string> ScriptedPrompts::chooseOpenFile(const FileChoice &choice) {
    note({Asked::OpenFile, 0, choice.defaultExtension});
    return next(files);
}

std::optional<std::string> ScriptedPrompts::chooseSaveFile(const FileChoice &choice) {
    note({Asked::SaveFile, 0, choice.defaultExtension});
    return next(files);
}

std::optional<OpenFileAnswer> ScriptedPrompts::chooseOpenFileAndCodePage(const FileChoice &choice) {
    std::optional<std::string> path = chooseOpenFile(choice);
    if (!path) {
        return std::nullopt;
    }
    return OpenFileAnswer{std::move(*path), next(codePages).value_or(choice.codePage)};
}

std::optional<CodeAnswer> ScriptedPrompts::askCodes(const CodeRequest &request) {
    note({Asked::Codes, static_cast<int>(request.dialog), std::string()});
    codeRequests.push_back(request);
    return next(codes);
}

std::vector<int> ScriptedPrompts::ids() const {
    std::vector<int> result;
    for (const Asked &a : asked) {
        result.push_back(a.id);
    }
    return result;
}

} // namespace velnor::test
