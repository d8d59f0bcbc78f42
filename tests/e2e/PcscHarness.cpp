#include "PcscHarness.h"

#include <gtest/gtest.h>
#include <winscard.h>

#include <cstdio>
#include <thread>

#include "reader/PcscDriver.h"

namespace velnor::test {

namespace {

using namespace std::chrono_literals;

const std::filesystem::path kVpcdConfig = "/etc/reader.conf.d/vpcd";

bool pcscdAnswers() {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        return false;
    }
    SCardReleaseContext(context);
    return true;
}

// Stops the pcscd the tests started; says once why everything was skipped, if it was.
class PcscEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        PcscHarness &harness = PcscHarness::instance();
        if (!harness.ready()) {
            std::printf("No pcscd to test with: %s\n", harness.reason().c_str());
        }
        harness.stopPcscd();
    }
};
const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new PcscEnvironment);

} // namespace

PcscHarness &PcscHarness::instance() {
    static PcscHarness harness;
    return harness;
}

bool PcscHarness::startPcscd(bool withVpcd) {
    const std::filesystem::path config = dir_.path() / (withVpcd ? "readers" : "no-readers");
    std::filesystem::create_directories(config);
    if (withVpcd) {
        std::filesystem::copy_file(kVpcdConfig, config / "vpcd",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    withVpcd_ = withVpcd;
    pcscd_.emplace(std::vector<std::string>{"pcscd", "--foreground", "--debug", "--apdu",
                                            "--config", config.string()},
                   dir_.path() / "pcscd.log");
    if (pcscd_->waitForOutput("daemon ready", 10s)) {
        for (auto until = std::chrono::steady_clock::now() + 10s;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(20ms)) {
            if (pcscdAnswers()) {
                return true;
            }
        }
    }
    const std::string log = pcscd_->output();
    reason_ =
        "pcscd cannot be started here: " + log.substr(log.size() > 400 ? log.size() - 400 : 0);
    pcscd_.reset();
    return false;
}

void PcscHarness::stopPcscd() {
    if (!pcscd_) {
        return;
    }
    pcscd_->stop();
    pcscd_.reset();
    for (auto until = std::chrono::steady_clock::now() + 5s;
         pcscdAnswers() && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(20ms);
    }
}

void PcscHarness::restore() {
    if (owned_ && (!pcscd_ || !withVpcd_)) {
        stopPcscd();
        startPcscd();
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
        for (const ReaderEntry &reader : PcscDriver().ListReaders()) {
            ready_ = ready_ || reader.name.starts_with("Virtual PCD");
        }
        if (!ready_) {
            reason_ = "a pcscd without the vpcd readers is running, and only one can run";
        }
        return ready_;
    }
    ready_ = startPcscd();
    owned_ = ready_;
    return ready_;
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

CliRun runCli(const std::vector<std::string> &args, const std::filesystem::path &workDir) {
    std::vector<std::string> argv{VELNOR_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess cli(argv, workDir / "cli.log", workDir);
    const int status = cli.finish(30s);
    return {status, cli.output()};
}

} // namespace velnor::test
