#include "PcscHarness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <winscard.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "card/PcscDriver.h"

namespace velnor::test {

namespace {

using namespace std::chrono_literals;

const std::filesystem::path kVpcdConfig = "/etc/reader.conf.d/vpcd";

std::string readAll(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

PcscHarness &PcscHarness::instance() {
    static PcscHarness harness;
    return harness;
}

bool PcscHarness::pcscdAnswers() const {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        return false;
    }
    SCardReleaseContext(context);
    return true;
}

std::string PcscHarness::pcscdLog() const {
    return readAll(dir_.path() / "pcscd.log");
}

bool PcscHarness::startPcscd(bool withVpcd) {
    const std::filesystem::path config = dir_.path() / (withVpcd ? "readers" : "no-readers");
    std::filesystem::create_directories(config);
    if (withVpcd) {
        std::filesystem::copy_file(kVpcdConfig, config / "vpcd",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    pcscd_.emplace(std::vector<std::string>{"pcscd", "--foreground", "--debug", "--apdu",
                                            "--config", config.string()},
                   dir_.path() / "pcscd.log");
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < until) {
        if (pcscdLog().find("daemon ready") != std::string::npos && pcscdAnswers()) {
            return true;
        }
        if (!pcscd_->running()) {
            break;
        }
        std::this_thread::sleep_for(20ms);
    }
    const std::string log = pcscdLog();
    reason_ =
        "pcscd cannot be started here: " + log.substr(log.size() > 400 ? log.size() - 400 : 0);
    pcscd_.reset();
    return false;
}

void PcscHarness::stopPcscd() {
    if (pcscd_) {
        pcscd_->stop();
        pcscd_.reset();
    }
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (pcscdAnswers() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(20ms);
    }
}

bool PcscHarness::ready() {
    if (checked_) {
        return ready_;
    }
    checked_ = true;
    if (!std::filesystem::exists(kVpcdConfig)) {
        reason_ = "the vpcd reader driver is not installed (Debian package vsmartcard-vpcd)";
        return false;
    }
    if (pcscdAnswers()) {
        bool hasVpcd = false;
        for (const ReaderEntry &reader : PcscDriver().ListReaders()) {
            hasVpcd = hasVpcd || reader.name.starts_with("Virtual PCD");
        }
        if (!hasVpcd) {
            reason_ = "a pcscd without the vpcd readers is running, and only one can run";
        }
        ready_ = hasVpcd;
        return ready_;
    }
    ready_ = startPcscd();
    owned_ = ready_;
    return ready_;
}

void PcscHarness::shutDown() {
    if (pcscd_) {
        pcscd_->stop();
        pcscd_.reset();
    }
}

bool waitForCard(const std::string &reader, bool present, std::chrono::milliseconds patience) {
    const auto until = std::chrono::steady_clock::now() + patience;
    PcscDriver driver;
    for (;;) {
        for (const ReaderEntry &entry : driver.ListReaders()) {
            if (entry.name == reader && entry.cardPresent == present) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
}

ServedCard::ServedCard(const std::filesystem::path &profile, uint16_t port)
    : reader_(port == kFirstPort ? kFirstReader : kSecondReader) {
    process_.emplace(std::vector<std::string>{VELNOR_CLI, "card", "serve", profile.string(),
                                              "--port", std::to_string(port)},
                     profile.string() + ".serve.log");
}

bool ServedCard::inserted() {
    return waitForCard(reader_, true);
}

bool ServedCard::pull() {
    if (!process_) {
        return false;
    }
    process_->stop();
    process_.reset();
    return waitForCard(reader_, false);
}

void ServedCard::stop() {
    pull();
}

CliRun runCli(const std::vector<std::string> &args, const std::filesystem::path &workDir) {
    std::vector<std::string> argv{VELNOR_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    const std::filesystem::path out = workDir / "cli.out";
    const std::filesystem::path err = workDir / "cli.err";
    CliRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(o, 1);
        dup2(e, 2);
        if (chdir(workDir.c_str()) != 0) {
            _exit(126);
        }
        std::vector<char *> raw;
        for (const std::string &arg : argv) {
            raw.push_back(const_cast<char *>(arg.c_str()));
        }
        raw.push_back(nullptr);
        execv(raw[0], raw.data());
        _exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + 30s;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readAll(out);
    run.err = readAll(err);
    return run;
}

} // namespace velnor::test
