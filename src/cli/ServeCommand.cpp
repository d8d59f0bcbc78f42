#include <atomic>
#include <csignal>
#include <ostream>

#include "cli/Commands.h"
#include "virtualcard/VpcdFront.h"

namespace velnor::cli {

namespace {

std::atomic<VpcdFront *> servingFront{nullptr};

extern "C" void onStopSignal(int) {
    if (VpcdFront *front = servingFront.load()) {
        front->stop();
    }
}

// Installs the stop signals for the time of one serve; no SA_RESTART, so waits wake at once.
class StopSignals {
public:
    explicit StopSignals(VpcdFront &front) {
        servingFront = &front;
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        servingFront = nullptr;
    }
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

std::optional<uint16_t> parsePort(const std::string &text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int port = std::stoi(text);
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

} // namespace

int runCardServe(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() != 3) {
        return fail(context, Usage, "Use card serve FILE [--host H] [--port P].");
    }
    VpcdEndpoint endpoint;
    endpoint.host = context.options.value("--host").value_or(endpoint.host);
    if (const std::optional<std::string> port = context.options.value("--port")) {
        const std::optional<uint16_t> number = parsePort(*port);
        if (!number) {
            return fail(context, Usage, "The port must be a number from 1 to 65535.");
        }
        endpoint.port = *number;
    }
    std::string error;
    ProfileFault fault = ProfileFault::Unreadable;
    // The card stays locked to this program while it is served.
    const std::shared_ptr<SimHost> card = SimHost::openProfile(words[2], error, {}, &fault);
    if (!card) {
        return fail(context, exitFor(fault), error);
    }
    std::ostream &err = context.err;
    const bool verbose = context.options.verbose;
    VpcdFront front(*card, endpoint, [&err](const std::string &line) {
        err << "velnor-cli: " << line << std::endl;
    });
    StopSignals signals(front);
    if (verbose) {
        err << "velnor-cli: serving " << words[2] << " until stopped (Ctrl-C)." << std::endl;
    }
    if (!front.run(error)) {
        return fail(context, Usage, error);
    }
    return Done;
}

} // namespace velnor::cli
