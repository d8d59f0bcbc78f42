#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace velnor::test {

// pcscd with the vpcd reader driver, for the whole test program: started by the tests (in the
// foreground, its own process, stopped at the end) unless one is running already, which is
// used when it has the vpcd readers. Without either, the tests are skipped with the reason.
class PcscHarness {
public:
    static PcscHarness &instance();

    // Starts or finds pcscd on first use; false with reason() when there is none to use.
    bool ready();
    const std::string &reason() const { return reason_; }
    // True when these tests started pcscd themselves and so may stop and restart it.
    bool ownsPcscd() const { return owned_; }

    // Stops the pcscd these tests started, if it runs; waits until it no longer answers.
    void stopPcscd();
    // Starts pcscd again, with the vpcd readers or with no reader at all.
    bool startPcscd(bool withVpcd = true);
    // Brings back the pcscd with the vpcd readers that a test stopped or started without them.
    void restore();

private:
    PcscHarness() = default;

    TempDir dir_;
    std::optional<ChildProcess> pcscd_;
    bool checked_ = false;
    bool owned_ = false;
    bool ready_ = false;
    bool withVpcd_ = false;
    std::string reason_;
};

// The readers vpcd gives: a card served on port 35963 is in the first, on 35964 in the second.
inline const std::string kFirstReader = "Virtual PCD 00 00";
inline const std::string kSecondReader = "Virtual PCD 00 01";
inline constexpr uint16_t kFirstPort = 35963;
inline constexpr uint16_t kSecondPort = 35964;

// "velnor-cli card serve PROFILE" as the card of a vpcd reader; stopping it pulls the card.
class ServedCard {
public:
    ServedCard(const std::filesystem::path &profile, uint16_t port = kFirstPort);
    ~ServedCard() { pull(); }
    // Waits until the reader shows the card; false when it does not within five seconds.
    bool inserted();
    // Stops serving and waits until the reader shows no card; false when it still shows one.
    bool pull();

private:
    std::string reader_;
    std::optional<ChildProcess> process_;
};

// Waits until the reader holds a card (or none); false when it does not within the time.
bool waitForCard(const std::string &reader, bool present,
                 std::chrono::milliseconds patience = std::chrono::milliseconds(5000));

// Runs velnor-cli with its arguments in workDir: its exit status, and its standard output and
// error together.
struct CliRun {
    int status = -1;
    std::string output;
};
CliRun runCli(const std::vector<std::string> &args, const std::filesystem::path &workDir);

} // namespace velnor::test
