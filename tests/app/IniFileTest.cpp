#include <gtest/gtest.h>

#include <sstream>

#include "app/CIniFile.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

using test::TempDir;
using test::writeFile;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ini.SetFile("velnor.cfg")); }
    TempDir dir;
    CIniFile ini{dir.path()};
};

// Every key of a sample file read both ways, rows of section, key, text and number.
TEST(IniFileRules, ReadsStringsAndIntegersWithThePlatformRules) {
    const std::filesystem::path vectors =
        std::filesystem::path(VELNOR_SOURCE_DIR) / "tests" / "vectors" / "app";
    CIniFile ini(vectors);
    ASSERT_TRUE(ini.SetFile("platform-rules.cfg"));
    std::istringstream rows(test::readFile(vectors / "platform-rules.tsv"));
    int checked = 0;
    for (std::string row; std::getline(rows, row);) {
        std::vector<std::string> field(1);
        for (const char c : row) {
            if (c == '\t') {
                field.emplace_back();
            } else {
                field.back().push_back(c);
            }
        }
        if (row.empty() || row[0] == '#' || field.size() != 4) {
            continue;
        }
        std::string value;
        const size_t length = ini.ReadString(field[0], field[1], "default", value);
        EXPECT_EQ(length, value.size()) << row;
        EXPECT_EQ(value, field[2]) << row;
        EXPECT_EQ(ini.ReadInt(field[0], field[1], 5), std::stoi(field[3])) << row;
        ++checked;
    }
    EXPECT_EQ(checked, 20);
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
