#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "ReadFixture.h"
#include "card/CardTestSupport.h"
#include "support/FakeWatcher.h"
#include "transfer/CardController.h"

namespace velnor::test {

// A simulated reader that a test can unplug, and whose inquiry block it can change or take away.
class InquiryDriver : public SimulatedDriver {
public:
    using SimulatedDriver::SimulatedDriver;
    std::atomic<bool> attached{true}; // the reader watch looks from its own thread
    std::optional<std::vector<uint8_t>> block =
        std::vector<uint8_t>{0xB0, 0x02, 0x08, 0x00, 0x01, 'S', 'I', 'M', ' '};

    std::vector<ReaderEntry> ListReaders() override {
        return attached ? SimulatedDriver::ListReaders() : std::vector<ReaderEntry>{};
    }
    std::optional<std::string> FindDeviceEntry() override {
        return attached ? SimulatedDriver::FindDeviceEntry() : std::nullopt;
    }
    std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int handle) override {
        return SimulatedDriver::SIM_InquiryFunctions(handle) ? block : std::nullopt;
    }
};

// The window's card logic over a simulated reader at "sim:memory/<test name>", with every
// service scripted and the tabs recorded.
class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override { session.setTitles(texts); }
    void TearDown() override { SimulatedCards::instance().remove(path); }

    // A card with the given ICCID (as stored, BCD low nibble first), PIN on or off (code 1234,
    // unblock code 12345678), one phonebook entry and one received message.
    void insert(const std::string &iccidHex, bool pinOn, const std::string &quirks = "{}") {
        const std::string json = std::string(R"({"chv1": {"enabled": )") +
                                 (pinOn ? "true" : "false") +
                                 R"(, "code": "1234", "attempts": 3, "unblockCode": "12345678"},
            "files": [{"path": "3F00/2FE2", "data": ")" +
                                 iccidHex + R"("},
              {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 3,
               "records": [")" + adnRecord("Anna", "0301234") +
                                 R"("]},
              {"path": "3F00/7F10/6F3C", "recordLength": 176, "recordCount": 2, "fill": "00",
               "records": [")" + deliverRecord(1) +
                                 R"("]},
              {"path": "3F00/7F10/6F42", "recordLength": 40, "recordCount": 1}],
            "quirks": )" + quirks +
                                 "}";
        ProfileResult loaded = parseCardProfile(json);
        ASSERT_TRUE(loaded.profile) << loaded.error;
        card = SimulatedCards::instance().insertInMemory(path, *loaded.profile);
    }
    void pull() { setQuirks({.pulled = true}); }
    void setQuirks(const CardQuirks &quirks) {
        card->withCard([&](VirtualSim &sim) { sim.setQuirks(quirks); });
    }
    unsigned instructions(uint8_t instruction) {
        return card->withCard([&](VirtualSim &sim) { return sim.instructionCount(instruction); });
    }
    int attemptsLeft() {
        return card->withCard(
            [](VirtualSim &sim) { return int(sim.chv1().settings().attemptsLeft); });
    }
    void type(std::vector<std::string> codes, bool switchOff = false) {
        prompts.codes.push_back({std::move(codes), switchOff});
    }

    static constexpr const char *kCardA = "98103254769810325476"; // 89012345678901234567
    static constexpr const char *kCardB = "98103254769810325477"; // ...4577
    static constexpr const char *kIdentityA = "89012345678901234567";
    static constexpr const char *kIdentityB = "89012345678901234577";

    std::string path = testDevicePath();
    TempDir dir;
    EnglishTexts texts;
    ScriptedPrompts prompts;
    RecordingPanes panes;
    StatusLine status{panes, texts};
    RecordingCommands commands;
    FakeWatcher watcher;
    ScriptedProgress progress;
    Timing timing = Timing::none();
    InquiryDriver driver{path};
    Session session;
    Environment env{driver,  prompts,  texts,  status,     commands,
                    watcher, progress, timing, dir.path(), dir.path()};
    std::vector<int> tabsShown;
    int currentTab = kPhonebookTab;
    CardController controller{session, env, watcher,
                              TabAccess{[this](int tab) {
                                            tabsShown.push_back(tab);
                                            currentTab = tab;
                                        },
                                        [this] { return currentTab; }}};
    std::shared_ptr<SimHost> card;
};

} // namespace velnor::test
