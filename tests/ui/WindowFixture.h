#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppPaths.h"
#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/PackTexts.h"
#include "card/DemoProfile.h"
#include "reader/SimulatedCards.h"
#include "support/CardFixture.h"
#include "support/FakeWatcher.h"
#include "support/Fakes.h"
#include "support/RowColumns.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/CMainDlg.h"
#include "virtualcard/SimHost.h"

namespace velnor::test {

// The main window over a card in a simulated reader of its own: the demo card unless a test
// inserts another, the English pack of the build, questions answered from a script, waits and
// repaints noted in `waits` (a repaint as 0) but not spent.
// No question is asked while a card transaction is open.
class WindowFixture : public ::testing::Test, protected CardPlace {
protected:
    void SetUp() override {
        paths = AppPaths::forExecutableDir(
            dir.path(), [this](const char *) { return std::optional(dir.path().string()); });
        paths.langDir = VELNOR_PACK_DIR;
        settings.SetSettingsFile((dir / "velnor.config.xml").string());
        ini = std::make_unique<CIniFile>(dir.path());
        ini->SetFile("velnor.cfg");
        ASSERT_TRUE(texts.load(paths.langDir / "lang_en.so"));
        settings.SetSettingString("Configuration\\Language", "Name", "English");
        prompts.inTransaction = [this] { return driver.openTransactions() != 0; };
    }
    void TearDown() override {
        window_.reset();
        SimulatedCards::instance().remove(path);
        EXPECT_EQ(prompts.askedInTransaction, 0) << "no question while a transaction is open";
        EXPECT_EQ(driver.looseCommands(), 0u) << "every card command runs in a transaction";
    }

    // Builds the window over the demo card unless a card is in or none is wanted, and lets it look
    // for the reader, which reads the card. Entry dialog answers are used in order; none left
    // cancels the dialog.
    void openWindow(bool withCard = true) {
        if (!host && withCard) {
            host = SimulatedCards::instance().insertInMemory(path, makeDemoCard(false));
        }
        Timing timing = Timing::none();
        timing.sleeper = [this](int ms) { waits.push_back(ms); };
        timing.repaint = [this] { waits.push_back(0); };
        const MainServices services{paths, settings, *ini, texts, prompts, driver, worker, timing};
        window_ = std::make_unique<CMainDlg>(services);
        window_->setEntryEditor([this](const PhoneEntry &entry) -> std::optional<PhoneEntry> {
            entriesOffered.push_back(entry);
            if (entryAnswers.empty()) {
                return std::nullopt;
            }
            std::optional<PhoneEntry> answer = entryAnswers.front();
            entryAnswers.pop_front();
            return answer;
        });
        window_->OnInitDialog();
    }

    CMainDlg &window() { return *window_; }
    Session &session() { return window_->session(); }
    VirtualSim &card() {
        return host->withCard([](VirtualSim &sim) -> VirtualSim & { return sim; });
    }
    // Whether each command is enabled in a place, as a text of 0 and 1.
    std::string enabled(CommandPlace place, std::initializer_list<int> commands) const {
        std::string states;
        for (const int id : commands) {
            states += window_->isCommandEnabled(id, place) ? '1' : '0';
        }
        return states;
    }

    std::deque<std::optional<PhoneEntry>> entryAnswers;
    std::vector<PhoneEntry> entriesOffered;
    AppPaths paths;
    CXMLSettings settings;
    std::unique_ptr<CIniFile> ini;
    PackTexts texts;
    ScriptedPrompts prompts;
    FakeWatcher worker;
    std::vector<int> waits;
    std::shared_ptr<SimHost> host;
    std::unique_ptr<CMainDlg> window_;
};

} // namespace velnor::test
