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
// inserts another, the English pack of the build, questions answered from a script, no waits.
// No question is asked while a card transaction is open.
class WindowFixture : public ::testing::Test, protected CardPlace {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a card into the reader before the window opens.
    void insertCard(CardProfile profile);
    // Builds the window and lets it look for the reader, which reads the card.
    void openWindow();

    CMainDlg &window() { return *window_; }
    Session &session() { return window_->session(); }
    VirtualSim &card();
    // Whether each command is enabled in a place, as a text of 0 and 1.
    std::string enabled(CommandPlace place, std::initializer_list<int> commands) const;
    // Entry dialog answers, used in order; an empty queue cancels the dialog.
    std::deque<std::optional<PhoneEntry>> entryAnswers;
    std::vector<PhoneEntry> entriesOffered;

    AppPaths paths;
    CXMLSettings settings;
    std::unique_ptr<CIniFile> ini;
    PackTexts texts;
    ScriptedPrompts prompts;
    FakeWatcher worker;
    std::shared_ptr<SimHost> host;
    std::unique_ptr<CMainDlg> window_;
};

} // namespace velnor::test
