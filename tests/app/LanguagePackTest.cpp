#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "BuiltinEnglish.h"
#include "app/PackTexts.h"
#include "base/StatusPanes.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::AppFolder;
using test::writeFile;

std::vector<std::string> namesOf(const std::vector<PackInfo> &packs) {
    std::vector<std::string> names;
    for (const PackInfo &pack : packs) {
        names.push_back(pack.name + "@" + pack.file.filename().string());
    }
    return names;
}

// Everything in the folder that is not a pack, next to real packs.
void fillWithNonPacks(const AppFolder &folder) {
    const fs::path lang = folder.paths().langDir;
    writeFile(lang / "lang_aa.so", std::string("\x7F"
                                               "ELF garbage that is not a library",
                                               34));
    writeFile(lang / "lang_empty.so", "");
    writeFile(lang / "readme.txt", "not a library");
    fs::create_directories(lang / "lang_dir.so");
    test::installPack(test::testPack("noexports"), lang);
    test::installPack(test::testPack("nameonly"), lang);
    test::installPack(test::testPack("nullname"), lang);
}

TEST(LanguagePacks, NonPacksAreSkippedAndPacksComeInFileNameOrder) {
    AppFolder folder;
    folder.install("zh");
    folder.install("fr");
    folder.install("en");
    folder.install("de");
    fillWithNonPacks(folder);

    const auto packs = listLanguagePacks(folder.paths().langDir, 100);
    EXPECT_EQ(namesOf(packs), (std::vector<std::string>{
                                  "Deutsch@lang_de.so", "English@lang_en.so",
                                  "Fran\xC3\xA7"
                                  "ais@lang_fr.so",
                                  "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87@lang_zh.so"}));
    ASSERT_EQ(packs.size(), 4u);
    EXPECT_EQ(packs[0].id, 0x407);
    EXPECT_EQ(packs[1].id, 0x409);
    EXPECT_EQ(packs[2].id, 0x40C);
    EXPECT_EQ(packs[3].id, 0x804);
    EXPECT_EQ(listLanguagePacks(folder.paths().langDir, 2).size(), 2u);
}

TEST(LanguagePacks, FindMatchesTheExactNameAndTheFirstOfTwins) {
    AppFolder folder;
    folder.install("en");
    folder.installTest("twin"); // also "English", sorted after lang_en.so
    folder.install("de");
    fillWithNonPacks(folder);
    const fs::path lang = folder.paths().langDir;

    const auto english = FindLanguagePack(lang, "English");
    ASSERT_TRUE(english);
    EXPECT_EQ(english->file.filename(), "lang_en.so");
    EXPECT_EQ(english->id, 0x409);
    EXPECT_FALSE(FindLanguagePack(lang, "english")) << "names compare with case";
    EXPECT_FALSE(FindLanguagePack(lang, "Deutsch "));
    EXPECT_FALSE(FindLanguagePack(lang, ""));
    EXPECT_FALSE(FindLanguagePack(lang, "Halfway")) << "a library with only the name export";
    EXPECT_FALSE(FindLanguagePack(folder.root() / "no-such-folder", "English"));
}

TEST(PackTexts, SwitchLoadsTheNewPackBeforeLettingTheOldOneGo) {
    AppFolder folder;
    folder.install("en");
    folder.install("de");
    fillWithNonPacks(folder);
    const fs::path lang = folder.paths().langDir;

    PackTexts texts;
    EXPECT_EQ(texts.find(8045), nullptr) << "no pack yet";
    ASSERT_TRUE(texts.load(lang / "lang_en.so"));
    EXPECT_EQ(texts.get(8045), "Connect");

    for (const char *notPack :
         {"lang_aa.so", "lang_empty.so", "readme.txt", "lang_dir.so", "lang_noexports.so",
          "lang_nameonly.so", "lang_nullname.so", "missing.so"}) {
        EXPECT_FALSE(texts.load(lang / notPack)) << notPack;
        EXPECT_EQ(texts.get(8045), "Connect") << "the old pack still answers after " << notPack;
    }
    ASSERT_TRUE(texts.load(lang / "lang_de.so"));
    EXPECT_EQ(texts.pack()->name(), "Deutsch");
    EXPECT_NE(texts.get(8045), "Connect");
    ASSERT_TRUE(texts.load(lang / "lang_de.so")) << "loading the current pack again works";
    EXPECT_EQ(texts.pack()->id(), 0x407);
}

class RecordingPanes : public StatusPanes {
public:
    void showPane(int pane, const std::string &text) override { shown[pane] = text; }
    std::string shown[3];
};

TEST(PackTexts, MissingStringsAndBadFormatsNeverCrash) {
    PackTexts texts;
    ASSERT_TRUE(texts.load(test::testPack("sparse")));
    EXPECT_EQ(texts.find(8046), nullptr);
    EXPECT_EQ(texts.get(8046), "");
    EXPECT_EQ(texts.format(8009, {1LL, 2LL}), "");
    EXPECT_EQ(texts.get(8045), "Ligar");

    RecordingPanes panes;
    StatusLine line(panes, texts);
    line.showReader(8028, 0x12, 0x3456);
    line.showCard(8029, "8949");
    EXPECT_EQ(panes.shown[0], "") << "a string the pack lacks leaves the pane empty";

    ASSERT_TRUE(texts.load(test::testPack("badformat")));
    line.refresh();
    EXPECT_EQ(panes.shown[0], "Reader 18 13398 ");
    EXPECT_EQ(panes.shown[1], "Card 8949  ");
    EXPECT_FALSE(texts.format(8001, {}).empty());
    EXPECT_FALSE(texts.format(8009, {1LL}).empty());
    EXPECT_FALSE(texts.format(8031, {std::string("x")}).empty());
}

TEST(BuiltinEnglishTexts, AnswersFromTheTableInTheProgram) {
    const BuiltinEnglishTexts texts;
    EXPECT_STREQ(texts.find(8045), "Connect");
    EXPECT_EQ(texts.find(1), nullptr);
    EXPECT_STREQ(builtin_en::langName(), "English");
}

} // namespace
} // namespace velnor
