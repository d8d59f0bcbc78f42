#include "WindowFixture.h"

#include "card/DemoProfile.h"
#include "reader/SimulatedCards.h"

namespace velnor::test {

void WindowFixture::SetUp() {
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

void WindowFixture::TearDown() {
    window_.reset();
    SimulatedCards::instance().remove(path);
    EXPECT_EQ(prompts.askedInTransaction, 0) << "no question while a transaction is open";
    EXPECT_EQ(driver.looseCommands(), 0u) << "every card command runs in a transaction";
}

void WindowFixture::insertCard(CardProfile profile) {
    host = SimulatedCards::instance().insertInMemory(path, std::move(profile));
}

void WindowFixture::openWindow() {
    if (!host) {
        insertCard(makeDemoCard(false));
    }
    const MainServices services{paths,   settings, *ini,   texts,
                                prompts, driver,   worker, Timing::none()};
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

VirtualSim &WindowFixture::card() {
    return host->withCard([](VirtualSim &sim) -> VirtualSim & { return sim; });
}

std::string WindowFixture::enabled(CommandPlace place, std::initializer_list<int> commands) const {
    std::string states;
    for (const int id : commands) {
        states += window_->isCommandEnabled(id, place) ? '1' : '0';
    }
    return states;
}

} // namespace velnor::test
