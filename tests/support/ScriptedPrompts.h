#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/UserPrompts.h"

namespace velnor::test {

// Answers every prompt from queues and records what was asked, in order.
class ScriptedPrompts : public UserPrompts {
public:
    struct Asked {
        enum Kind { YesNo, Message, OpenFile, SaveFile, Codes } kind;
        int id = 0;
        std::string text;
        MessageKind messageKind = MessageKind::Information;
    };

    std::deque<bool> yesNo;            // empty: answer "no"
    std::deque<std::string> files;     // empty: the dialog is cancelled
    std::deque<std::string> codePages; // chosen beside an open file; empty: left as offered
    std::deque<CodeAnswer> codes;      // empty: the dialog is cancelled
    std::vector<Asked> asked;
    std::vector<CodeRequest> codeRequests;
    // Whether a card transaction is open: nothing may be asked while one is.
    std::function<bool()> inTransaction;
    int askedInTransaction = 0;

    bool askYesNo(const Prompt &prompt) override;
    void showMessage(MessageKind kind, const Prompt &prompt) override;
    std::optional<std::string> chooseOpenFile(const FileChoice &choice) override;
    std::optional<std::string> chooseSaveFile(const FileChoice &choice) override;
    std::optional<OpenFileAnswer> chooseOpenFileAndCodePage(const FileChoice &choice) override;
    std::optional<CodeAnswer> askCodes(const CodeRequest &request) override;

    // The string numbers of everything asked or shown, in order (0 for fixed texts).
    std::vector<int> ids() const;

private:
    void note(Asked a);
};

} // namespace velnor::test
