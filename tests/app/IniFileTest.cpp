#include <gtest/gtest.h>

#include "app/CIniFile.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

using test::TempDir;
using test::writeFile;

const char *const kIni = "\xEF\xBB\xBF; a comment line\r\n"
                         "# another comment\r\n"
                         "Orphan=outside any section\r\n"
                         "[Language]\r\n"
                         "  LangID = 1031  \r\n"
                         "Name =  Deutsch  \r\n"
                         "; Name=Commented\r\n"
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
                         "Word=abc\r\n"
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

struct StringCase {
    const char *section;
    const char *key;
    const char *expected;
};

TEST_F(IniFileTest, ReadsStringsWithThePlatformRules) {
    const StringCase cases[] = {
        {"Language", "Name", "Deutsch"},                 // trimmed
        {"language", "NAME", "Deutsch"},                 // names without case
        {"Customization", "AppName", "  Quoted Tool  "}, // quotes keep inner spaces
        {"Customization", "CompanyName", "Single"},
        {"Customization", "Mismatched", "\"open"},
        {"Customization", "Empty", ""}, // present but empty: not the default
        {"Customization", "Equals", "a=b"},
        {"Spaced Section", "key with spaces", "v"},
        {"Language", "Extra", "second"},    // a repeated section adds its keys
        {"Language", "Missing", "default"}, // missing key
        {"Nowhere", "Name", "default"},     // missing section
        {"", "Orphan", "default"},          // keys before any section belong to none
    };
    for (const StringCase &c : cases) {
        std::string value;
        const size_t length = ini.ReadString(c.section, c.key, "default", value);
        EXPECT_EQ(value, c.expected) << c.section << "/" << c.key;
        EXPECT_EQ(length, value.size()) << c.section << "/" << c.key;
    }
}

struct IntCase {
    const char *section;
    const char *key;
    int expected;
};

TEST_F(IniFileTest, ReadsIntegersAsLeadingDecimalDigits) {
    const IntCase cases[] = {
        {"Language", "LangID", 1031}, // the first of two matching keys wins
        {"Numbers", "Neg", -42},       {"Numbers", "Plus", 17}, {"Numbers", "Lead", 123},
        {"Numbers", "Hex", 0},         {"Numbers", "Word", 0},  {"Numbers", "Spaces", 77},
        {"Customization", "Empty", 5}, // an empty value takes the default
        {"Numbers", "Missing", 5},
    };
    for (const IntCase &c : cases) {
        EXPECT_EQ(ini.ReadInt(c.section, c.key, 5), c.expected) << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, CommentedKeysAreNotRead) {
    writeFile(dir / "velnor.cfg", "[Language]\n;Name=Hidden\n#LangID=7\n");
    EXPECT_EQ(ini.ReadString("Language", "Name", "none"), "none");
    EXPECT_EQ(ini.ReadInt("Language", "LangID", 3), 3);
}

TEST_F(IniFileTest, MissingFileGivesDefaults) {
    ASSERT_TRUE(ini.SetFile("absent.cfg"));
    EXPECT_EQ(ini.ReadInt("Language", "LangID", 1033), 1033);
    EXPECT_EQ(ini.ReadString("Language", "Name", "x"), "x");
}

TEST_F(IniFileTest, LegacyCodePageFileIsReadAsUtf8) {
    writeFile(dir / "velnor.cfg", "[Language]\nName=Fran\xE7"
                                  "ais \x80\n");
    EXPECT_EQ(ini.ReadString("Language", "Name"), "Fran\xC3\xA7"
                                                  "ais \xE2\x82\xAC");
}

TEST_F(IniFileTest, LongValuesAreCutTo255CharactersNeverInsideOne) {
    std::string longName;
    for (int i = 0; i < 300; ++i) {
        longName += "\xC3\xA9"; // é, two bytes each
    }
    writeFile(dir / "velnor.cfg",
              "[Language]\nName=" + longName + "\nPlain=" + std::string(256, 'a') + "\n");
    std::string value;
    EXPECT_EQ(ini.ReadString("Language", "Name", "", value), 255u);
    EXPECT_EQ(value, longName.substr(0, 510));
    EXPECT_EQ(ini.ReadString("Language", "Plain", "", value), 255u);
    EXPECT_EQ(value, std::string(255, 'a'));
}

TEST(IniFileSetFile, PlacesBareNamesAndKeepsPaths) {
    CIniFile ini("/opt/velnor");
    EXPECT_TRUE(ini.SetFile("  velnor.cfg \t"));
    EXPECT_EQ(ini.file(), "/opt/velnor/velnor.cfg");
    EXPECT_TRUE(ini.SetFile("/etc/velnor.cfg"));
    EXPECT_EQ(ini.file(), "/etc/velnor.cfg");
    EXPECT_TRUE(ini.SetFile(" conf/velnor.cfg"));
    EXPECT_EQ(ini.file(), "conf/velnor.cfg");
    EXPECT_FALSE(ini.SetFile("   "));
    EXPECT_EQ(ini.file(), "conf/velnor.cfg");
}

} // namespace
} // namespace velnor
