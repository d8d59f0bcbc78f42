#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace velnor::test {

// A program the tests started, with its standard output and error in one log file; stopped by
// its process id and never by name.
class ChildProcess {
public:
    // Runs args[0] (a path) in `folder`, or in the tests' folder when it is empty.
    ChildProcess(const std::vector<std::string> &args, const std::filesystem::path &log,
                 const std::filesystem::path &folder = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool running();
    // SIGTERM, then SIGKILL when it has not ended within the patience given.
    void stop(std::chrono::milliseconds patience = std::chrono::milliseconds(3000));
    pid_t pid() const { return pid_; }

    // Waits until the log holds text; false when it does not within the patience given, or the
    // program has ended without writing it.
    bool waitForOutput(const std::string &text,
                       std::chrono::milliseconds patience = std::chrono::milliseconds(10000));
    // Waits for the end: the exit status, 128 + the signal that ended it, -1 when it had to be
    // killed after the patience given.
    int finish(std::chrono::milliseconds patience = std::chrono::milliseconds(20000));
    std::string output() const;

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = -1;
    std::filesystem::path log_;
};

} // namespace velnor::test
