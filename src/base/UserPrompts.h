#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velnor {

// A message or question as shown to the user. `id` is the string number the text came from
// (0 for the few fixed texts), kept so that tests and logs can tell the prompts apart.
struct Prompt {
    int id = 0;
    std::string caption;
    std::string text;
};

enum class MessageKind { Information, Warning, Error };

// A file dialog: default extension, initial name and the filters as "description|pattern" pairs.
// An open dialog may offer a choice of code page beside them: the names offered, and the one
// chosen at first ("" stands for detection and is offered first).
struct FileChoice {
    std::string defaultExtension;
    std::string initialName;
    std::vector<std::pair<std::string, std::string>> filters;
    std::vector<std::string> codePages = {};
    std::string codePage = {};
};

// A file to open and the code page chosen for it ("" for detection).
struct OpenFileAnswer {
    std::string path;
    std::string codePage;
};

enum class CodeDialog { Verify, Switch, Change, Unblock };

// What a PIN dialog needs to show besides its own captions.
struct CodeRequest {
    CodeDialog dialog = CodeDialog::Verify;
    int attemptsLeft = -1; // -1 when unknown
};

// The codes typed into a PIN dialog in the order of its fields; for the switch dialog also
// which of its two buttons was chosen.
struct CodeAnswer {
    std::vector<std::string> codes;
    bool switchOff = false;
};

// Every question, message and dialog that the card, file and list operations need. The window
// shows real dialogs, the command-line tool answers from its flags, tests answer from a script.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    virtual bool askYesNo(const Prompt &prompt) = 0;
    virtual void showMessage(MessageKind kind, const Prompt &prompt) = 0;
    virtual std::optional<std::string> chooseOpenFile(const FileChoice &choice) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileChoice &choice) = 0;
    // The open dialog with its choice of code page. Without one of its own, the plain dialog,
    // and the code page stays as it was.
    virtual std::optional<OpenFileAnswer> chooseOpenFileAndCodePage(const FileChoice &choice) {
        std::optional<std::string> path = chooseOpenFile(choice);
        if (!path) {
            return std::nullopt;
        }
        return OpenFileAnswer{std::move(*path), choice.codePage};
    }
    // One round of a PIN dialog; nullopt when the user cancels it.
    virtual std::optional<CodeAnswer> askCodes(const CodeRequest &request) = 0;
};

} // namespace velnor
