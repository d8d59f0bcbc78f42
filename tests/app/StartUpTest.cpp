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

// Settings that name a language, with an identifier unless id is empty.
std::string languageSettings(const std::string &name, const std::string &id) {
    return R"(<settings><section name="Configuration"><section name="Language"><key name="Name">)" +
           name + "</key>" + (id.empty() ? "" : "<key name=\"ID\">" + id + "</key>") +
           "</section></section></settings>";
}

struct LanguageCase {
    std::string ini;
    std::string settingsName; // empty: no settings file
    std::string settingsId;
    std::string name; // of the pack loaded, as stored
    long id;          // as stored; the help follows it
};

// With de, en and fr installed. The settings name wins over the INI; the pack's identifier
// replaces the configured one; a name no pack has loads English and keeps the identifier.
TEST(StartUp, ChoosesLoadsAndStoresTheConfiguredLanguage) {
    const std::string french = "Fran\u00e7ais";
    const LanguageCase cases[] = {
        {"", "", "", "English", 1033},
        {"[Language]\nLangID=1036\nName=Deutsch\n", "", "", "Deutsch", 0x407},
        {"[Language]\nLangID=1041\nName=Nihongo\n", "", "", "English", 1041},
        {"[Language]\nLangID=1031\nName=Deutsch\n", french, "1", french, 0x40C},
        {"", "Klingon", "1031", "English", 1031},
        {"[Language]\nLangID=2052\n", "Klingon", "", "English", 0}, // a stored name: no INI ID
        {"", "Klingon", "74757", "English", 74757 & 0xFFFF},
    };
    for (const LanguageCase &c : cases) {
        SCOPED_TRACE(c.ini + c.settingsName + " " + c.settingsId);
        AppFolder folder;
        for (const char *code : {"de", "en", "fr"}) {
            folder.install(code);
        }
        folder.writeIni(c.ini);
        if (!c.settingsName.empty()) {
            folder.writeSettings(languageSettings(c.settingsName, c.settingsId));
        }
        ScriptedPrompts prompts;
        AppSession session(folder.paths());
        ASSERT_EQ(StartUp(session, prompts), StartUpResult::ShowMainWindow);
        EXPECT_TRUE(prompts.asked.empty());
        EXPECT_EQ(session.texts.pack()->name(), c.name);
        EXPECT_EQ(folder.stored(kLanguagePath, kLanguageName), c.name);
        EXPECT_EQ(folder.stored(kLanguagePath, kLanguageId), std::to_string(c.id));
        EXPECT_EQ(LoadSettings(session.settings, session.ini).languageId, c.id);
        EXPECT_TRUE(session.lock.held());
    }
}

// The pack is loaded and the language keys are written before the lock is tried: a second copy
// rewrites the keys and says it stops in its pack's words, shown as they stand.
TEST(StartUp, SecondCopyRewritesTheLanguageKeysThenShowsString8001Unformatted) {
    AppFolder folder;
    folder.install("en");
    folder.installTest("badformat");
    ScriptedPrompts prompts;
    AppSession first(folder.paths());
    ASSERT_EQ(StartUp(first, prompts), StartUpResult::ShowMainWindow);

    folder.writeSettings(languageSettings("Broken formats", "1"));
    AppSession second(folder.paths());
    EXPECT_EQ(StartUp(second, prompts), StartUpResult::AlreadyRunning);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].id, 8001);
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Information);
    EXPECT_EQ(prompts.asked[0].text, "%s %d %n %9$s %");
    EXPECT_FALSE(second.lock.held());
    EXPECT_EQ(folder.stored(kLanguagePath, kLanguageId), "1038") << "0x40E, the pack's";
}

TEST(StartUp, NoLoadablePackShowsTheConfigurationErrorAndWritesNothing) {
    AppFolder folder;
    fs::create_directories(folder.paths().langDir / "lang_en.so"); // a folder, not a pack
    test::writeFile(folder.paths().langDir / "lang_de.so", "garbage");
    const std::string before = languageSettings("Deutsch", "1031");
    folder.writeSettings(before);
    ScriptedPrompts prompts;
    AppSession session(folder.paths());
    ASSERT_EQ(StartUp(session, prompts), StartUpResult::ConfigurationError);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Warning);
    EXPECT_EQ(prompts.asked[0].text, "Can not load " + folder.paths().fallbackPack().string() +
                                         ". Please reinstall your software");
    EXPECT_EQ(folder.settingsText(), before);
    EXPECT_FALSE(session.lock.held());
}

TEST(StartUp, UnusableLockFolderDoesNotStopTheProgram) {
    AppFolder folder;
    folder.install("en");
    AppPaths paths = folder.paths();
    paths.runtimeDir = folder.root() / "missing";
    ScriptedPrompts prompts;
    AppSession session(paths);
    EXPECT_EQ(StartUp(session, prompts), StartUpResult::ShowMainWindow);
    EXPECT_TRUE(prompts.asked.empty());
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
