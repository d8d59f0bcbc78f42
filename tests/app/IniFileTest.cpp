#include <gtest/gtest.h>

#include "app/CIniFile.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

// Every key of a sample file read both ways.
TEST(IniFileRules, ReadsStringsAndIntegersWithThePlatformRules) {
    CIniFile ini(std::filesystem::path(VELNOR_SOURCE_DIR) / "tests" / "vectors" / "app");
    ASSERT_TRUE(ini.SetFile("platform-rules.cfg"));
    for (const test::json &v : test::loadVectors("app/platform-rules.json")) {
        SCOPED_TRACE(v.dump());
        const std::string section = v.at("section"), key = v.at("key");
        std::string value;
        const size_t length = ini.ReadString(section, key, "default", value);
        EXPECT_EQ(value, test::textOf(v.at("text")));
        EXPECT_EQ(length, v.value("length", value.size()));
        EXPECT_EQ(ini.ReadInt(section, key, 5), v.at("number").get<int>());
    }
}

TEST(IniFileRules, LegacyCodePageFileIsReadAsUtf8) {
    test::TempDir dir;
    test::writeFile(dir / "velnor.cfg", "[Language]\nName=Fran\xE7"
                                        "ais \x80\n");
    CIniFile ini(dir.path());
    ASSERT_TRUE(ini.SetFile("velnor.cfg"));
    EXPECT_EQ(ini.ReadString("Language", "Name"), "Fran\u00e7ais \xE2\x82\xAC");
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
