#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "reader/SimulatedCards.h"
#include "reader/SimulatedDriver.h"
#include "support/EnglishTexts.h"
#include "support/FakeWatcher.h"
#include "support/Fakes.h"
#include "support/RowColumns.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/TransactionAudit.h"
#include "transfer/CardBackup.h"
#include "transfer/ReadCard.h"
#include "transfer/WriteCard.h"

namespace velnor::test {

inline constexpr const char *kAdnPath = "3F00/7F10/6F3A";
inline constexpr const char *kSmsPath = "3F00/7F10/6F3C";
inline constexpr const char *kSmspPath = "3F00/7F10/6F42";
inline constexpr const char *kCdmaSmsPath = "3F00/7F25/6F3C";
// EF_ICCID as stored (BCD, low nibble first) and as read.
inline constexpr const char *kCardA = "98103254769810325476";
inline constexpr const char *kCardB = "98103254769810325477";
inline constexpr const char *kIdentity = "89012345678901234567";
inline constexpr const char *kIdentityB = "89012345678901234577";
inline const std::string kFreeAdn(60, 'F');
inline const std::string kFreeSms(352, '0');
// A parameters record of 40 bytes (alpha length 12): indicators 0xFD say the service-centre
// address +491710760000 is present (GSM 11.11, 10.5.6).
inline const std::string kSmspRecord =
    std::string(24, 'F') + "FD" + std::string(24, 'F') + "0791947101670000" + std::string(12, 'F');

// One linear fixed file of a test card.
struct TestFile {
    std::string path;
    int recordLength;
    int recordCount;
    std::vector<std::string> records; // hexadecimal
    std::string fill = "FF";
    std::string update{}; // the UPDATE access condition ("ADM"); empty: the card's default
    std::string sfi{};
};

// A phonebook record of 30 bytes (alpha length 16) with a GSM name and a national number.
std::string adnRecord(const std::string &name, const std::string &number);
// A stored SMS-DELIVER of 176 bytes from +4917123456 with service centre +491710760000, time
// stamp 2008-04-12 13:45:20 and the text "hello", after the given status byte.
std::string smsRecord(uint8_t statusByte);

// A simulated reader that a test can unplug, and whose inquiry block it can change or take away.
class InquiryDriver : public TransactionAuditDriver {
public:
    using TransactionAuditDriver::TransactionAuditDriver;
    std::atomic<bool> attached{true};   // the reader watch looks from its own thread
    std::atomic<bool> noService{false}; // as pcscd not running
    std::optional<std::vector<uint8_t>> block =
        std::vector<uint8_t>{0xB0, 0x02, 0x08, 0x00, 0x01, 'S', 'I', 'M', ' '};

    std::vector<ReaderEntry> ListReaders() override {
        return attached ? SimulatedDriver::ListReaders() : std::vector<ReaderEntry>{};
    }
    std::optional<std::string> FindDeviceEntry() override {
        return attached ? SimulatedDriver::FindDeviceEntry() : std::nullopt;
    }
    bool serviceMissing() const override { return noService; }
    std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int handle) override {
        return SimulatedDriver::SIM_InquiryFunctions(handle) ? block : std::nullopt;
    }
};

// Everything a window brings to the card operations, answering from scripts; the watcher it
// holds is a stand-in.
struct ScriptedWindow {
    ScriptedWindow(CUSBOpKrnl &driver, const std::filesystem::path &dir)
        : env{driver, prompts, texts, status, progress, timing, dir, dir, &watcher} {
        session.setTitles(texts);
    }

    EnglishTexts texts;
    ScriptedPrompts prompts;
    RecordingPanes panes;
    StatusLine status{panes, texts};
    RecordingCommands commands;
    FakeWatcher watcher;
    ScriptedProgress progress;
    Timing timing = Timing::none();
    Session session;
    Environment env;
};

// The place of a test card: a folder of its own and a simulated reader that holds it.
struct CardPlace {
    TempDir dir;
    std::string path = "sim:" + (dir / "card.json").string();
    InquiryDriver driver{path};
};

// A card in a simulated reader of its own, read and written through scripted window services.
// Every command to the card must run inside a card transaction, and nothing may be asked while
// one is open. The PIN, when on, is 1234 with unblock code 12345678.
class CardFixture : public ::testing::Test, protected CardPlace, protected ScriptedWindow {
protected:
    CardFixture() : ScriptedWindow(driver, dir.path()) {}
    void SetUp() override;
    void TearDown() override;

    // With `uicc`, the profile's "uicc" member: the card is a UICC.
    void insertCard(const std::vector<TestFile> &files, bool chv1Enabled = false,
                    const nlohmann::json &uicc = nullptr);
    // One phonebook entry and one received message, on the card of the given ICCID.
    void insertSmallCard(bool chv1Enabled, const char *iccid = kCardA);
    VirtualSim &card();
    void setQuirks(const CardQuirks &quirks);
    void pull() { setQuirks({.pulled = true}); }
    ReadOutcome read(CardFile file) { return readCard(session, env, file).outcome; }
    WriteResult write(CardFile file) { return writeCard(session, env, file); }

    std::vector<std::string> cardRecords(const std::string &path, size_t count);
    std::vector<std::string> backupRecords(const std::filesystem::path &path);
    std::vector<std::filesystem::path> cardBackups() {
        return cardBackupsOf(dir.path(), kIdentity);
    }
    void expectWorkerBack();

    // The transparent files the next card is told apart by.
    nlohmann::json identityFiles =
        nlohmann::json::array({{{"path", "3F00/2FE2"}, {"data", kCardA}}});
    std::shared_ptr<SimHost> host;
};

} // namespace velnor::test
