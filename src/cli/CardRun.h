#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "transfer/Session.h"

namespace velnor::cli {

// One command's card in its reader, with the lists and services of a window that answers from
// the command line.
class CardRun {
public:
    explicit CardRun(Context &context);

    // Sees the ICCID of the card in the reader (empty when it gives none) before any PIN is
    // offered to it: nullopt to go on, else the exit status after saying why.
    using BeforePin = std::function<std::optional<int>(const std::string &iccid)>;

    // Finds the reader (--reader, else the reader search), opens the card and settles its PIN
    // from --pin. Returns Done, or the exit status after saying why.
    int open(const BeforePin &beforePin = {});

    Session session;
    ConsolePrompts prompts;
    StatusLine &status() { return status_; }
    Environment &env() { return *env_; }

private:
    Context &context_;
    std::unique_ptr<CUSBOpKrnl> driver_;
    std::shared_ptr<CardConnection> connection_; // for the whole command
    ConsolePanes panes_;
    StatusLine status_;
    ConsoleProgress progress_;
    Timing timing_ = Timing::none();
    std::optional<Environment> env_;
};

} // namespace velnor::cli
