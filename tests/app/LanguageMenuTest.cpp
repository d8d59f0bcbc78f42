#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ConfigKeys.h"
#include "app/LanguageMenu.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using namespace config;
using test::AppFolder;

constexpr int kCaptionId = 11556;

std::string describe(const LanguageMenu &menu) {
    std::string text;
    for (const MenuItem &item : menu.items) {
        text += item.separator
                    ? std::string("---")
                    : std::to_string(item.command) + " " + item.text + (item.checked ? " *" : "");
        text += "\n";
    }
    return text;
}

class LanguageMenuTest : public ::testing::Test {
protected:
    LanguageMenuTest()
        : ini(folder.root()), context{settings,
                                      ini,
                                      texts,
                                      folder.paths().langDir,
                                      folder.paths().fallbackPack(),
                                      kCaptionId} {
        settings.SetSettingsFile(folder.paths().settingsFile().string());
        ini.SetFile(kIniFileName);
    }

    // The state start-up leaves: the pack of name loaded and stored.
    void startWith(const std::string &name) {
        const auto pack = FindLanguagePack(folder.paths().langDir, name);
        ASSERT_TRUE(pack);
        ASSERT_TRUE(texts.load(pack->file));
        settings.SetSettingString(kLanguagePath, kLanguageName, name);
        settings.SetSettingLong(kLanguagePath, kLanguageId, pack->id);
        menu = BuildLanguageMenu(context);
    }

    AppFolder folder;
    CXMLSettings settings;
    CIniFile ini;
    PackTexts texts;
    LanguageContext context;
    LanguageMenu menu;
};

TEST_F(LanguageMenuTest, WithoutPacksOnlyTheDefaultItem) {
    menu = BuildLanguageMenu("Default", "English", folder.paths().langDir);
    EXPECT_EQ(describe(menu), "5200 Default\n");
    EXPECT_EQ(menu.lastLanguageCommand, 5200);
}

TEST_F(LanguageMenuTest, OnlyTheFallbackCarriesTheMarkWhenConfigured) {
    folder.install("en");
    menu = BuildLanguageMenu("Default", "English", folder.paths().langDir);
    EXPECT_EQ(describe(menu), "5200 Default\n---\n5201 English *\n");
    menu = BuildLanguageMenu("Default", "Deutsch", folder.paths().langDir);
    EXPECT_EQ(describe(menu), "5200 Default\n---\n5201 English\n");
}

TEST_F(LanguageMenuTest, TwinNamesAreBothListedAndTheLaterIsMarked) {
    folder.install("en");
    folder.installTest("twin");
    startWith("English");
    EXPECT_EQ(describe(menu),
              "5200 " + texts.get(kCaptionId) + "\n---\n5201 English\n5202 English *\n");

    // The unmarked twin loads the first pack of that name.
    const auto result = RunLanguageCommand(5201, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(texts.pack()->file().filename(), "lang_en.so");
    EXPECT_EQ(result->languageId, 0x409);
    EXPECT_EQ(result->menu.checkedCommand(), 5202);
}

TEST_F(LanguageMenuTest, AtMost49PacksAreListed) {
    for (int i = 0; i < 52; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "lang_%02d.so", i);
        test::installPack(test::builtPack("en"), folder.paths().langDir, name);
    }
    menu = BuildLanguageMenu("Default", "English", folder.paths().langDir);
    ASSERT_EQ(menu.items.size(), 2u + 49u);
    EXPECT_EQ(menu.lastLanguageCommand, 5249);
    EXPECT_EQ(menu.items.back().command, 5249);
    EXPECT_EQ(menu.checkedCommand(), 5249);
}

TEST_F(LanguageMenuTest, ChoosingAPackSwitchesAndStoresIt) {
    folder.install("en");
    folder.install("de");
    folder.install("fr");
    startWith("English");
    settings.SetSettingString(kInfoPath, kTitle, "My Title");
    ASSERT_EQ(describe(menu), "5200 " + texts.get(kCaptionId) +
                                  "\n---\n5201 Deutsch\n5202 English *\n5203 Fran\xC3\xA7"
                                  "ais\n");

    const auto result = RunLanguageCommand(5201, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(texts.pack()->name(), "Deutsch");
    EXPECT_EQ(result->languageId, 0x407);
    EXPECT_EQ(result->title, "My Title");
    EXPECT_EQ(result->menu.checkedCommand(), 5201);
    EXPECT_EQ(result->menu.items[0].text, texts.get(kCaptionId));
    EXPECT_EQ(folder.stored(kLanguagePath, kLanguageName), "Deutsch");
    EXPECT_EQ(folder.storedLong(kLanguagePath, kLanguageId), 0x407);
}

TEST_F(LanguageMenuTest, TheMarkedItemDoesNothing) {
    folder.install("en");
    folder.install("de");
    startWith("Deutsch");
    const std::string before = folder.settingsText();
    const LanguagePack *loaded = texts.pack();

    EXPECT_FALSE(RunLanguageCommand(5201, menu, context));
    EXPECT_EQ(texts.pack(), loaded);
    EXPECT_EQ(folder.settingsText(), before);
    EXPECT_EQ(menu.checkedCommand(), 5201);
    EXPECT_FALSE(RunLanguageCommand(5248, menu, context)) << "not in the menu";
}

TEST_F(LanguageMenuTest, DefaultItemUsesTheIniNameOrReloadsTheConfiguredOne) {
    folder.install("en");
    folder.install("de");
    startWith("English");

    const LanguagePack *before = texts.pack();
    auto result = RunLanguageCommand(5200, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_NE(texts.pack(), before) << "the current language is loaded anew";
    EXPECT_EQ(texts.pack()->name(), "English");
    EXPECT_EQ(result->menu.checkedCommand(), 5202);

    folder.writeIni("[Language]\nName=Deutsch\n");
    menu = result->menu;
    result = RunLanguageCommand(5200, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(texts.pack()->name(), "Deutsch");
    EXPECT_EQ(result->menu.checkedCommand(), 5201);
}

TEST_F(LanguageMenuTest, PackGoneSinceTheMenuWasBuiltFallsBackToEnglish) {
    folder.install("en");
    folder.install("de");
    startWith("English");
    fs::remove(folder.paths().langDir / "lang_de.so");
    const auto result = RunLanguageCommand(5201, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(texts.pack()->name(), "English");
    EXPECT_EQ(result->languageId, 1033);
    EXPECT_EQ(folder.stored(kLanguagePath, kLanguageName), "English");
}

TEST_F(LanguageMenuTest, FailedSwitchLeavesEverythingAsItWas) {
    folder.install("en");
    folder.install("de");
    startWith("Deutsch");
    const std::string hello = texts.get(8045);
    const std::string before = folder.settingsText();
    // Both the chosen pack and the fallback are gone or broken now.
    fs::remove(folder.paths().langDir / "lang_en.so");
    test::writeFile(folder.paths().langDir / "lang_en.so", "broken");

    const auto result = RunLanguageCommand(5202, menu, context);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->switched);
    EXPECT_EQ(texts.get(8045), hello) << "the old pack still answers";
    EXPECT_EQ(folder.settingsText(), before);
    EXPECT_EQ(menu.checkedCommand(), 5201) << "the mark goes back";
}

} // namespace
} // namespace velnor
