#include <gtest/gtest.h>

#include "app/CIniFile.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

using test::TempDir;
using test::writeFile;

const char *const kIni = "\xEF\xBB\xBF; a comment line\r\n"
                         "Orphan=outside any section\r\n"
                         "[Language]\r\n"
                         ";Hidden=commented\r\n"
                         "#Hash=7\r\n"
                         "  LangID = 1031  \r\n"
                         "Name =  Deutsch  \r\n"
                         "[customization]\r\n"
                         "AppName=\"  Quoted Tool  \"\r\n"
                         "CompanyName='Single'\r\n"
                         "Mismatched=\"open\r\n"
                         "Empty=\r\n"
                         "Equals=a=b\r\n"
                         "[Numbers]\r\n"
                         "Neg=-42\r\n"
                         "Plus=+17\r\n"
                         "Lead=123abc\r\n"
                         "Hex=0x409\r\n"
                         "Spaces=   77   \r\n"
                         "[ Spaced Section ]\r\n"
                         "Key With Spaces = v\r\n"
                         "[LANGUAGE]\r\n"
                         "LangID=9999\r\n"
                         "Extra=second\r\n";

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir / "velnor.cfg", kIni);
        ASSERT_TRUE(ini.SetFile("velnor.cfg"));
    }
    TempDir dir;
    CIniFile ini{dir.path()};
};

TEST_F(IniFileTest, ReadsStringsAndIntegersWithThePlatformRules) {
    const std::tuple<const char *, const char *, const char *> strings[] = {
        {"Language", "Name", "Deutsch"},                 // trimmed
        {"language", "NAME", "Deutsch"},                 // names without case
        {"Customization", "AppName", "  Quoted Tool  "}, // quotes keep inner spaces
        {"Customization", "CompanyName", "Single"},
        {"Customization", "Mismatched", "\"open"},
        {"Customization", "Empty", ""}, // present but empty: not the default
        {"Customization", "Equals", "a=b"},
        {"Spaced Section", "key with spaces", "v"},
        {"Language", "Extra", "second"},   // a repeated section adds its keys
        {"Language", "Hidden", "default"}, // commented out
        {"Nowhere", "Name", "default"},    // missing section
        {"", "Orphan", "default"},         // keys before any section belong to none
    };
    for (const auto &[section, key, expected] : strings) {
        std::string value;
        const size_t length = ini.ReadString(section, key, "default", value);
        EXPECT_EQ(value, expected) << section << "/" << key;
        EXPECT_EQ(length, value.size()) << section << "/" << key;
    }
    const std::tuple<const char *, const char *, int> integers[] = {
        {"Language", "LangID", 1031}, // the first of two matching keys wins
        {"Language", "Hash", 5},       {"Numbers", "Neg", -42}, {"Numbers", "Plus", 17},
        {"Numbers", "Lead", 123},      {"Numbers", "Hex", 0},   {"Numbers", "Spaces", 77},
        {"Customization", "Empty", 5}, // an empty value takes the default
        {"Numbers", "Missing", 5},
    };
    for (const auto &[section, key, expected] : integers) {
        EXPECT_EQ(ini.ReadInt(section, key, 5), expected) << section << "/" << key;
    }
}

TEST_F(IniFileTest, LegacyCodePageFileIsReadAsUtf8) {
    writeFile(dir / "velnor.cfg", "[Language]\nName=Fran\xE7"
                                  "ais \x80\n");
    EXPECT_EQ(ini.ReadString("Language", "Name"), "Fran\u00e7ais \xE2\x82\xAC");
}

TEST_F(IniFileTest, LongValuesAreCutTo255CharactersNeverInsideOne) {
    std::string longName;
    for (int i = 0; i < 300; ++i) {
        longName += "\xC3\xA9"; // é, two bytes each
    }
    writeFile(dir / "velnor.cfg", "[Language]\nName=" + longName + "\n");
    std::string value;
    EXPECT_EQ(ini.ReadString("Language", "Name", "", value), 255u);
    EXPECT_EQ(value, longName.substr(0, 510));
}

TEST(IniFileSetFile, PlacesBareNamesKeepsPathsAndReadsDefaultsWithoutAFile) {
    CIniFile ini("/nonexistent/velnor");
    EXPECT_TRUE(ini.SetFile("  velnor.cfg \t"));
    EXPECT_EQ(ini.file(), "/nonexistent/velnor/velnor.cfg");
    EXPECT_EQ(ini.ReadInt("Language", "LangID", 1033), 1033);
    EXPECT_EQ(ini.ReadString("Language", "Name", "x"), "x");
    EXPECT_TRUE(ini.SetFile("/etc/velnor.cfg"));
    EXPECT_EQ(ini.file(), "/etc/velnor.cfg");
    EXPECT_TRUE(ini.SetFile(" conf/velnor.cfg"));
    EXPECT_EQ(ini.file(), "conf/velnor.cfg");
    EXPECT_FALSE(ini.SetFile("   "));
    EXPECT_EQ(ini.file(), "conf/velnor.cfg");
}

} // namespace
} // namespace velnor
