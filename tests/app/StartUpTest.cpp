#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ConfigKeys.h"
#include "app/HelpFiles.h"
#include "app/SettingsPass.h"
#include "app/StartUp.h"
#include "support/ScriptedPrompts.h"
#include "support/TestVectors.h"

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

// The settings name wins over the INI; the pack's identifier replaces the configured one; a name
// no pack has loads English and keeps the identifier.
TEST(StartUp, ChoosesLoadsAndStoresTheConfiguredLanguage) {
    for (const test::json &c : test::loadVectors("app/start-up-languages.json")) {
        SCOPED_TRACE(c.dump());
        AppFolder folder;
        for (const char *code : {"de", "en", "fr"}) {
            folder.install(code);
        }
        folder.writeIni(c.value("ini", ""));
        if (c.contains("settingsName")) {
            folder.writeSettings(languageSettings(c["settingsName"], c.value("settingsId", "")));
        }
        ScriptedPrompts prompts;
        AppSession session(folder.paths());
        ASSERT_EQ(StartUp(session, prompts), StartUpResult::ShowMainWindow);
        EXPECT_TRUE(prompts.asked.empty());
        EXPECT_EQ(session.texts.pack()->name(), c.at("name"));
        EXPECT_EQ(folder.stored(kLanguagePath, kLanguageName), c["name"]);
        const long id = c.at("id");
        EXPECT_EQ(folder.stored(kLanguagePath, kLanguageId), std::to_string(id));
        EXPECT_EQ(LoadSettings(session.settings, session.ini).languageId, id);
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
    for (const test::json &v : test::loadVectors("app/help-files.json")) {
        EXPECT_EQ(helpFilePath("/opt/velnor/Help", v.at("id")),
                  fs::path("/opt/velnor/Help") / v.at("file").get<std::string>())
            << v.dump();
    }
}

} // namespace
} // namespace velnor
