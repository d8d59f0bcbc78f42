#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/TempDir.h"

namespace velnor::test {

using namespace std::chrono_literals;

ChildProcess::ChildProcess(const std::vector<std::string> &args, const std::filesystem::path &log,
                           const std::filesystem::path &folder)
    : log_(log) {
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the tests, however they end
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        std::vector<char *> argv;
        for (const std::string &arg : args) {
            argv.push_back(const_cast<char *>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::running() {
    if (pid_ <= 0 || reaped_) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

void ChildProcess::stop(std::chrono::milliseconds patience) {
    if (!running()) {
        return;
    }
    kill(pid_, SIGTERM);
    finish(patience);
}

bool ChildProcess::waitForOutput(const std::string &text, std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (output().find(text) == std::string::npos) {
        if (!running() || std::chrono::steady_clock::now() > until) {
            return output().find(text) != std::string::npos;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

int ChildProcess::finish(std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (running() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        reaped_ = true;
        status_ = -1;
    }
    return status_;
}

std::string ChildProcess::output() const {
    return readFile(log_);
}

} // namespace velnor::test
