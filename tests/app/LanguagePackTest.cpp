#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/HelpFiles.h"
#include "app/PackTexts.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::AppFolder;

// Real packs among files that are not: garbage with the magic of a library, an empty file, a
// folder named like a pack, libraries that lack an export or give no name.
TEST(LanguagePacks, NonPacksAreSkippedPacksComeInFileNameOrderAndFailedLoadsChangeNothing) {
    AppFolder folder;
    for (const char *code : {"zh", "fr", "en", "de"}) {
        folder.install(code);
    }
    for (const char *code : {"twin", "noexports", "nameonly", "nullname"}) {
        folder.installTest(code);
    }
    const fs::path lang = folder.paths().langDir;
    test::writeFile(lang / "lang_aa.so", std::string("\x7F") + "ELF, but not a library");
    test::writeFile(lang / "lang_empty.so", "");
    test::writeFile(lang / "readme.txt", "not a library");
    fs::create_directories(lang / "lang_dir.so");

    std::string listed;
    for (const PackInfo &pack : listLanguagePacks(lang, 100)) {
        listed +=
            pack.file.filename().string() + " " + pack.name + " " + std::to_string(pack.id) + "\n";
    }
    EXPECT_EQ(listed, "lang_de.so Deutsch 1031\nlang_en.so English 1033\n"
                      "lang_fr.so Fran\u00e7ais 1036\nlang_twin.so English 2057\n"
                      "lang_zh.so \xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87 2052\n");
    EXPECT_EQ(listLanguagePacks(lang, 2).size(), 2u);
    EXPECT_TRUE(listLanguagePacks(lang, 0).empty());

    const auto english = FindLanguagePack(lang, "English");
    ASSERT_TRUE(english);
    EXPECT_EQ(english->file.filename(), "lang_en.so") << "the first of two packs of one name";
    for (const char *name : {"english", "Deutsch ", "", "Halfway"}) {
        EXPECT_FALSE(FindLanguagePack(lang, name)) << '"' << name << '"';
    }
    EXPECT_FALSE(FindLanguagePack(folder.root() / "no-such-folder", "English"));

    PackTexts texts;
    EXPECT_EQ(texts.find(8045), nullptr) << "no pack yet";
    ASSERT_TRUE(texts.load(lang / "lang_en.so"));
    for (const char *notPack :
         {"lang_aa.so", "lang_empty.so", "readme.txt", "lang_dir.so", "lang_noexports.so",
          "lang_nameonly.so", "lang_nullname.so", "missing.so"}) {
        EXPECT_FALSE(texts.load(lang / notPack)) << notPack;
    }
    EXPECT_EQ(texts.get(8045), "Connect") << "the old pack still answers";
    EXPECT_EQ(texts.find(1), nullptr);
    ASSERT_TRUE(texts.load(lang / "lang_de.so"));
    ASSERT_TRUE(texts.load(lang / "lang_de.so")) << "loading the current pack again works";
    EXPECT_EQ(texts.get(8045), "Verbinden");
}

// The build checks every table against the English one; what it cannot see is the help.
TEST(LanguageTables, EveryPackHasAHelpPage) {
    for (const char *code : {"en", "de", "fr", "zh"}) {
        const auto pack = LanguagePack::open(test::builtPack(code));
        ASSERT_TRUE(pack) << code;
        const auto page =
            helpFilePath(fs::path(VELNOR_SOURCE_DIR) / "help", static_cast<uint16_t>(pack->id()));
        EXPECT_TRUE(fs::exists(page)) << page;
        EXPECT_EQ(page.filename() == "Velnor_En.html", pack->id() == 0x409) << page;
    }
}

} // namespace
} // namespace velnor
