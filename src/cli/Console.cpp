#include "cli/Console.h"

#include <atomic>
#include <csignal>
#include <ostream>

namespace velnor::cli {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

} // namespace

bool interruptedByUser() {
    return interrupted;
}

bool ConsolePrompts::askYesNo(const Prompt &prompt) {
    if (interrupted) {
        return false;
    }
    const bool answer = answer_.value_or(false);
    err_ << prompt.text << ' ' << (answer ? "Yes (--yes)." : "No (--no is the default).") << '\n';
    return answer;
}

void ConsolePrompts::showMessage(MessageKind kind, const Prompt &prompt) {
    if (kind == MessageKind::Error) {
        refused_ = true;
    } else if (interrupted) {
        return;
    }
    err_ << prompt.text << '\n';
}

void ConsolePrompts::answerOnce(CodeDialog dialog, CodeAnswer answer) {
    commandDialog_ = dialog;
    commandCodes_ = std::move(answer);
}

std::optional<CodeAnswer> ConsolePrompts::askCodes(const CodeRequest &request) {
    if (commandDialog_ && request.dialog == *commandDialog_) {
        std::optional<CodeAnswer> answer = std::move(commandCodes_);
        commandCodes_.reset();
        return answer;
    }
    if (request.dialog != CodeDialog::Verify || !pin_ || pinOffered_) {
        pinWanted_ = !pin_;
        return std::nullopt;
    }
    pinOffered_ = true;
    return CodeAnswer{{*pin_}, false};
}

ConsoleProgress::ConsoleProgress() {
    interrupted = false;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

ConsoleProgress::~ConsoleProgress() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    interrupted = false;
}

bool ConsoleProgress::cancelled() const {
    return interrupted;
}

void ConsolePanes::showPane(int pane, const std::string &text) {
    if (verbose_ && !text.empty() && !interrupted) {
        err_ << "[" << pane << "] " << text << '\n';
    }
}

} // namespace velnor::cli
