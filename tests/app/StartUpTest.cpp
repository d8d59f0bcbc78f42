#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ConfigKeys.h"
#include "app/HelpFiles.h"
#include "app/SettingsPass.h"
#include "app/StartUp.h"
#include "support/ScriptedPrompts.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using namespace config;
using test::AppFolder;
using test::ScriptedPrompts;

class StartUpTest : public ::testing::Test {
protected:
    StartUpResult start(AppSession &session) { return StartUp(session, prompts); }

    std::string languageName() const { return folder.stored(kLanguagePath, kLanguageName); }
    long languageId() const { return folder.storedLong(kLanguagePath, kLanguageId); }

    AppFolder folder;
    ScriptedPrompts prompts;
};

TEST_F(StartUpTest, NoFilesAtAllLoadsTheEnglishFallbackAndCreatesTheSettings) {
    folder.install("en");
    AppSession session(folder.paths());
    ASSERT_EQ(start(session), StartUpResult::ShowMainWindow);

    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(session.texts.pack()->file(), folder.paths().fallbackPack());
    EXPECT_EQ(languageName(), "English");
    EXPECT_EQ(languageId(), 1033);
    EXPECT_TRUE(session.lock.held());
    EXPECT_TRUE(fs::exists(folder.paths().lockFile()));
}

TEST_F(StartUpTest, OnlyAnIniChoosesItsLanguageAndTheIdOfThePack) {
    folder.install("en");
    folder.install("de");
    folder.writeIni("[Language]\nLangID=1036\nName=Deutsch\n");
    AppSession session(folder.paths());
    ASSERT_EQ(start(session), StartUpResult::ShowMainWindow);

    EXPECT_EQ(session.texts.pack()->name(), "Deutsch");
    EXPECT_EQ(languageName(), "Deutsch");
    EXPECT_EQ(languageId(), 0x407) << "the pack's identifier replaces the configured one";
}

struct FallbackCase {
    const char *ini;
    const char *settings;
    long storedId;
};

class StartUpFallback : public StartUpTest, public ::testing::WithParamInterface<FallbackCase> {};

// A named pack that is not installed: English is loaded, the identifier stays as configured,
// so the help follows it.
TEST_P(StartUpFallback, KeepsTheConfiguredIdentifier) {
    folder.install("en");
    folder.install("fr");
    folder.writeIni(GetParam().ini);
    if (*GetParam().settings != '\0') {
        folder.writeSettings(GetParam().settings);
    }
    AppSession session(folder.paths());
    ASSERT_EQ(start(session), StartUpResult::ShowMainWindow);
    EXPECT_EQ(session.texts.pack()->name(), "English");
    EXPECT_EQ(languageName(), "English");
    EXPECT_EQ(languageId(), GetParam().storedId);
    EXPECT_EQ(LoadSettings(session.settings, session.ini).languageId, GetParam().storedId);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpFallback,
    ::testing::Values(
        FallbackCase{"", R"(<settings><section name="Configuration"><section name="Language">
            <key name="Name">Deutsch</key><key name="ID">1031</key></section></section></settings>)",
                     0x407},
        FallbackCase{"", R"(<settings><section name="Configuration"><section name="Language">
            <key name="Name">Klingon</key></section></section></settings>)",
                     0},
        FallbackCase{"", R"(<settings><section name="Configuration"><section name="Language">
            <key name="Name">Klingon</key><key name="ID">0x12345</key></section></section>
            </settings>)",
                     0},
        FallbackCase{"", R"(<settings><section name="Configuration"><section name="Language">
            <key name="Name">Klingon</key><key name="ID">74757</key></section></section>
            </settings>)",
                     74757 & 0xFFFF},
        FallbackCase{"[Language]\nLangID=1041\nName=Nihongo\n", "", 1041},
        FallbackCase{"[Language]\nName=Nihongo\n", "", 1033}));

TEST_F(StartUpTest, SettingsNameWinsOverTheIni) {
    folder.install("en");
    folder.install("fr");
    folder.install("de");
    folder.writeIni("[Language]\nLangID=1031\nName=Deutsch\n");
    folder.writeSettings(R"(<settings><section name="Configuration"><section name="Language">
        <key name="Name">Fran)"
                         "\xC3\xA7"
                         R"(ais</key><key name="ID">1</key></section></section></settings>)");
    AppSession session(folder.paths());
    ASSERT_EQ(start(session), StartUpResult::ShowMainWindow);
    EXPECT_EQ(session.texts.pack()->id(), 0x40C);
    EXPECT_EQ(languageId(), 0x40C);
}

TEST_F(StartUpTest, NoLoadablePackShowsTheConfigurationErrorAndWritesNothing) {
    fs::create_directories(folder.paths().langDir / "lang_en.so"); // a folder, not a pack
    test::writeFile(folder.paths().langDir / "lang_de.so", "garbage");
    const std::string before =
        R"(<settings><section name="Configuration"><section name="Language">)"
        R"(<key name="Name">Deutsch</key><key name="ID">1031</key></section></section></settings>)";
    folder.writeSettings(before);

    AppSession session(folder.paths());
    ASSERT_EQ(start(session), StartUpResult::ConfigurationError);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Warning);
    EXPECT_EQ(prompts.asked[0].text, "Can not load " + folder.paths().fallbackPack().string() +
                                         ". Please reinstall your software");
    EXPECT_EQ(folder.settingsText(), before);
    EXPECT_FALSE(session.lock.held());
}

TEST_F(StartUpTest, SecondCopyRewritesTheLanguageKeysThenStopsWithString8001) {
    folder.install("en");
    folder.install("de");
    folder.writeIni("[Language]\nName=Deutsch\n");
    AppSession first(folder.paths());
    ASSERT_EQ(start(first), StartUpResult::ShowMainWindow);
    ASSERT_EQ(languageName(), "Deutsch");

    // Meanwhile the settings name a pack that is gone; the second copy falls back and says so.
    folder.writeSettings(R"(<settings><section name="Configuration"><section name="Language">)"
                         R"(<key name="Name">Klingon</key><key name="ID">1031</key>)"
                         R"(</section></section></settings>)");
    AppSession second(folder.paths());
    EXPECT_EQ(start(second), StartUpResult::AlreadyRunning);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].id, 8001);
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Information);
    EXPECT_EQ(prompts.asked[0].text, second.texts.get(8001));
    EXPECT_FALSE(second.lock.held());
    EXPECT_EQ(languageName(), "English");
    EXPECT_EQ(languageId(), 1031);
}

TEST_F(StartUpTest, MessageAboutTheRunningCopyIsInTheConfiguredLanguage) {
    folder.install("en");
    folder.install("de");
    folder.writeIni("[Language]\nName=Deutsch\n");
    AppSession first(folder.paths());
    ASSERT_EQ(start(first), StartUpResult::ShowMainWindow);
    AppSession second(folder.paths());
    ASSERT_EQ(start(second), StartUpResult::AlreadyRunning);
    ASSERT_EQ(prompts.asked.size(), 1u);
    PackTexts english;
    ASSERT_TRUE(english.load(folder.paths().fallbackPack()));
    EXPECT_FALSE(prompts.asked[0].text.empty());
    EXPECT_NE(prompts.asked[0].text, english.get(8001));
    EXPECT_EQ(prompts.asked[0].text, first.texts.get(8001));
}

TEST_F(StartUpTest, MalformedString8001IsShownAsItStands) {
    folder.install("en");
    folder.installTest("badformat");
    folder.writeIni("[Language]\nName=Broken formats\n");
    AppSession first(folder.paths());
    ASSERT_EQ(start(first), StartUpResult::ShowMainWindow);
    AppSession second(folder.paths());
    EXPECT_EQ(start(second), StartUpResult::AlreadyRunning);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].text, "%s %d %n %9$s %") << "shown as text, never formatted";
}

TEST_F(StartUpTest, UnusableLockFolderDoesNotStopTheProgram) {
    folder.install("en");
    AppPaths paths = folder.paths();
    paths.runtimeDir = folder.root() / "missing";
    AppSession session(paths);
    EXPECT_EQ(start(session), StartUpResult::ShowMainWindow);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(StartUpTest, DamagedSettingsAreKeptAsBadAndRecreated) {
    folder.install("en");
    folder.install("fr");
    folder.writeIni("[Language]\nName=Fran\xC3\xA7"
                    "ais\n");
    folder.writeSettings("<settings><section name=\"Info\">\x01</settings");
    AppSession session(folder.paths());
    ASSERT_EQ(start(session), StartUpResult::ShowMainWindow);

    const fs::path bad = folder.root() / "velnor.config.xml.bad";
    EXPECT_EQ(test::readFile(bad), "<settings><section name=\"Info\">\x01</settings");
    EXPECT_EQ(languageName(), "Fran\xC3\xA7"
                              "ais");
    EXPECT_EQ(languageId(), 0x40C);
    EXPECT_FALSE(session.settings.lastError().empty());
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(StartUpTest, IniNameLongerThan255CharactersIsCut) {
    folder.install("en");
    folder.writeIni("[Language]\nLangID=1031\nName=" + std::string(300, 'n') + "\n");
    AppSession session(folder.paths());
    session.ini.SetFile(kIniFileName);
    const LanguageChoice choice = ChooseLanguage(session.settings, session.ini, session.paths);
    EXPECT_EQ(choice.name, "English");
    EXPECT_EQ(choice.id, 1031);
    EXPECT_EQ(session.ini.ReadString(kIniLanguage, kIniLangName).size(), 255u);
}

TEST(HelpFiles, FollowTheLanguageIdentifier) {
    const std::pair<uint16_t, const char *> cases[] = {
        {0x404, "Velnor_tw.html"}, {0x407, "Velnor_ge.html"}, {0x40A, "Velnor_sp.html"},
        {0x40C, "Velnor_fr.html"}, {0x410, "Velnor_it.html"}, {0x411, "Velnor_jp.html"},
        {0x413, "Velnor_dt.html"}, {0x804, "Velnor_cn.html"}, {0x409, "Velnor_En.html"},
        {0x809, "Velnor_En.html"}, {0, "Velnor_En.html"},     {0xFFFF, "Velnor_En.html"}};
    for (const auto &[id, file] : cases) {
        EXPECT_EQ(helpFilePath("/opt/velnor/Help", id), fs::path("/opt/velnor/Help") / file)
            << std::hex << id;
    }
}

} // namespace
} // namespace velnor
