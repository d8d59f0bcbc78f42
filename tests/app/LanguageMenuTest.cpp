#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ConfigKeys.h"
#include "app/LanguageMenu.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using namespace config;

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

// The window's tests switch among the built packs; these cover what they do not reach: the
// menu's limits, packs of one name, item 5200, and switches that fall back or fail.
class LanguageMenuTest : public ::testing::Test {
protected:
    std::string stored() const {
        return folder.stored(kLanguagePath, kLanguageName) + " " +
               folder.stored(kLanguagePath, kLanguageId);
    }

    test::AppFolder folder;
    const fs::path lang = folder.paths().langDir;
    CXMLSettings settings = folder.settings();
    CIniFile ini = folder.ini();
    PackTexts texts;
    LanguageContext context{settings, ini, texts, lang, folder.paths().fallbackPack(), kCaptionId};
};

TEST_F(LanguageMenuTest, ListsAtMost49PacksAndMarksTheLastWithTheConfiguredName) {
    EXPECT_EQ(describe(BuildLanguageMenu("Default", "English", lang)), "5200 Default\n");
    for (int i = 0; i < 52; ++i) {
        test::installPack(test::builtPack("en"), lang, "lang_" + std::to_string(i + 10) + ".so");
    }
    const LanguageMenu menu = BuildLanguageMenu("Default", "English", lang);
    EXPECT_EQ(menu.items.size(), 2u + 49u);
    EXPECT_EQ(menu.lastLanguageCommand, 5249);
    EXPECT_EQ(menu.checkedCommand(), 5249) << "of packs of one name, the last";
    EXPECT_EQ(BuildLanguageMenu("Default", "Deutsch", lang).checkedCommand(), 0);
}

TEST_F(LanguageMenuTest, CommandsSwitchStoreFallBackAndFailWithoutChangingAnything) {
    for (const char *code : {"en", "de", "fr"}) {
        folder.install(code);
    }
    folder.installTest("twin");
    ASSERT_TRUE(texts.load(lang / "lang_en.so"));
    settings.SetSettingString(kLanguagePath, kLanguageName, "English");
    settings.SetSettingString(kInfoPath, kTitle, "My Title");
    LanguageMenu menu = BuildLanguageMenu(context);
    ASSERT_EQ(describe(menu), "5200 Installation default\n---\n5201 Deutsch\n5202 English\n"
                              "5203 Fran\u00e7ais\n5204 English *\n");
    const std::string before = folder.settingsText();
    EXPECT_FALSE(RunLanguageCommand(5204, menu, context)) << "the marked item";
    EXPECT_FALSE(RunLanguageCommand(5248, menu, context)) << "no such item";
    EXPECT_EQ(folder.settingsText(), before);

    // Item 5200 without an INI name loads the configured language anew: the first pack of it.
    const LanguagePack *old = texts.pack();
    auto result = RunLanguageCommand(5200, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_NE(texts.pack(), old);
    EXPECT_EQ(texts.pack()->file().filename(), "lang_en.so");
    EXPECT_EQ(result->menu.checkedCommand(), 5204);
    EXPECT_EQ(result->title, "My Title");

    menu = result->menu;
    result = RunLanguageCommand(5201, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(result->menu.items[0].text, texts.get(kCaptionId)) << "in the new language";
    EXPECT_EQ(stored(), "Deutsch 1031");

    // A pack gone since the menu was built: the English fallback.
    menu = result->menu;
    fs::remove(lang / "lang_fr.so");
    result = RunLanguageCommand(5203, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(texts.pack()->file(), folder.paths().fallbackPack());
    EXPECT_EQ(result->languageId, 0x409);
    EXPECT_EQ(stored(), "English 1033");

    // Item 5200 takes the INI name.
    folder.writeIni("[Language]\nName=Deutsch\n");
    menu = result->menu;
    result = RunLanguageCommand(5200, menu, context);
    ASSERT_TRUE(result && result->switched);
    EXPECT_EQ(stored(), "Deutsch 1031");

    // Neither English pack can be loaded now: the switch to English changes nothing.
    menu = result->menu;
    fs::remove(lang / "lang_twin.so");
    fs::remove(lang / "lang_en.so");
    test::writeFile(lang / "lang_en.so", "broken");
    const std::string german = folder.settingsText();
    result = RunLanguageCommand(5202, menu, context);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->switched);
    EXPECT_EQ(texts.get(8045), "Verbinden") << "the old pack still answers";
    EXPECT_EQ(folder.settingsText(), german);
    EXPECT_EQ(menu.checkedCommand(), 5201) << "the mark goes back";
}

} // namespace
} // namespace velnor
