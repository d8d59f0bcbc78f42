#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "base/ProgressSink.h"
#include "base/StatusPanes.h"
#include "base/UserPrompts.h"

namespace velnor::cli {

// Answers every question from the command line: yes/no from --yes or --no (no by default), the
// PIN from --pin exactly once, so a refused code never costs the card a second attempt; a pin
// command's codes, given with answerOnce, once as well. Messages go to the error stream, one
// line each. Once the user has interrupted the command, the summaries a window shows after a
// cancelled run are not said (the command says where it stopped) and every question is answered
// no.
class ConsolePrompts : public UserPrompts {
public:
    ConsolePrompts(std::ostream &err, std::optional<bool> answer, std::optional<std::string> pin)
        : err_(err), answer_(answer), pin_(std::move(pin)) {}

    bool askYesNo(const Prompt &prompt) override;
    void showMessage(MessageKind kind, const Prompt &prompt) override;
    std::optional<std::string> chooseOpenFile(const FileChoice &) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileChoice &) override { return std::nullopt; }
    std::optional<CodeAnswer> askCodes(const CodeRequest &request) override;

    // The codes of a pin command: the answer to the first round of that dialog, and no other.
    void answerOnce(CodeDialog dialog, CodeAnswer answer);

    bool refused() const { return refused_; } // an error message was shown
    bool pinWanted() const { return pinWanted_; }

private:
    std::ostream &err_;
    std::optional<bool> answer_;
    std::optional<std::string> pin_;
    std::optional<CodeDialog> commandDialog_;
    std::optional<CodeAnswer> commandCodes_;
    bool pinOffered_ = false;
    bool pinWanted_ = false;
    bool refused_ = false;
};

// Progress of a read or write: nothing on screen; an interrupt (Ctrl-C, or SIGTERM) cancels it
// cleanly at the next record.
class ConsoleProgress : public ProgressSink {
public:
    ConsoleProgress();
    ~ConsoleProgress() override;
    void begin(const std::string &, const std::string &, int, int) override {}
    void step() override {}
    void pump() override {}
    bool cancelled() const override;
    void close() override {}
};

// Whether the user has interrupted the command since its progress began.
bool interruptedByUser();

// The status panes, printed with -v until the user interrupts the command.
class ConsolePanes : public StatusPanes {
public:
    ConsolePanes(std::ostream &err, bool verbose) : err_(err), verbose_(verbose) {}
    void showPane(int pane, const std::string &text) override;

private:
    std::ostream &err_;
    bool verbose_;
};

} // namespace velnor::cli
