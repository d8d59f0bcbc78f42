#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/CXMLSettings.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

class XmlSettingsTest : public ::testing::Test {
protected:
    test::AppFolder folder;
    const fs::path dir = folder.root();
    const fs::path file = folder.paths().settingsFile();
    CXMLSettings settings = folder.settings();
};

TEST_F(XmlSettingsTest, SettersCreateTheFileSectionsAndKeysAndSaveAtOnce) {
    EXPECT_EQ(settings.GetSettingString("Info", "Title", "dflt"), "dflt");
    EXPECT_EQ(settings.GetSettingLong("Configuration\\RunTime", "AlreadyRun", 42), 42);
    EXPECT_FALSE(fs::exists(file)) << "reading creates nothing";

    ASSERT_TRUE(settings.SetSettingString("Configuration\\Language", "Name", "Fran\u00e7ais"));
    ASSERT_TRUE(settings.SetSettingString("ListCtrls\\1801 <&>", "0", "1A2B"));
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "   "));
    EXPECT_EQ(folder.stored("Configuration\\Language", "Name"), "Fran\u00e7ais");
    EXPECT_EQ(folder.stored("Configuration", "Name"), "<missing>") << "the key of another section";
    EXPECT_EQ(folder.stored("ListCtrls\\1801 <&>", "0"), "1A2B");
    EXPECT_EQ(folder.stored("Info", "Title"), "   ");
    EXPECT_EQ(test::filesIn(dir), 2u) << "the file and lang/: no temporary file is left behind";
}

TEST_F(XmlSettingsTest, LongReadsLeadingDigitsOrFallsBackToTheDefault) {
    const std::pair<const char *, long> cases[] = {
        {"  42", 42}, {"-7x", -7}, {"+5", 5}, {"abc", 99}, {"", 99}, {"99999999999999999999", 99}};
    for (const auto &[text, expected] : cases) {
        ASSERT_TRUE(settings.SetSettingString("N", "v", text));
        EXPECT_EQ(settings.GetSettingLong("N", "v", 99), expected) << '"' << text << '"';
    }
}

// Another writer's change is seen, and a later save of ours does not undo it.
TEST_F(XmlSettingsTest, ChangesOfAnotherWriterAreSeenAndKept) {
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "first"));
    CXMLSettings other = folder.settings();
    ASSERT_TRUE(other.SetSettingString("Info", "Title", "second"));
    EXPECT_EQ(settings.GetSettingString("Info", "Title", ""), "second");
    ASSERT_TRUE(settings.SetSettingString("Info", "Author", "me"));
    EXPECT_EQ(folder.stored("Info", "Title"), "second");
}

// A file that is no XML is set aside under a name not yet taken; XML of another shape is used.
TEST_F(XmlSettingsTest, DamagedFilesAreKeptAsBadAndForeignOnesAreRead) {
    writeFile(file, "");
    EXPECT_EQ(settings.GetSettingLong("A", "b", 1), 1);
    EXPECT_TRUE(fs::exists(dir / "velnor.config.xml.bad"));
    const std::string damaged = "<settings><section name=\"Info\"><key name=\"Title\">x";
    writeFile(file, damaged);
    EXPECT_EQ(settings.GetSettingString("Info", "Title", "dflt"), "dflt");
    EXPECT_EQ(readFile(dir / "velnor.config.xml.bad.1"), damaged);
    EXPECT_NE(settings.lastError().find("velnor.config.xml.bad.1"), std::string::npos)
        << settings.lastError();
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "new"));
    EXPECT_EQ(folder.stored("Info", "Title"), "new");

    writeFile(file, "<?xml version=\"1.0\"?><other><key name=\"k\">v</key></other>");
    EXPECT_EQ(settings.GetSettingString("", "k", ""), "v");
    ASSERT_TRUE(settings.SetSettingString("", "k", "w"));
    EXPECT_EQ(folder.stored("", "k"), "w");
}

// In a full or read-only place the setter fails without touching the old file, and the run goes
// on with the value in memory.
TEST_F(XmlSettingsTest, SetterThatCannotSaveLeavesTheOldFileIntact) {
    const std::string longTitle(500, 'x');
    for (const test::Unwritable place : test::kUnwritableFiles) {
        SCOPED_TRACE(test::describe(place));
        ASSERT_TRUE(settings.SetSettingString("Info", "Title", "old"));
        const std::string before = readFile(file);
        const int status = test::inUnwritablePlace(place, dir, [&] {
            CXMLSettings writer = folder.settings();
            if (writer.SetSettingString("Info", "Title", longTitle)) {
                return 1;
            }
            if (writer.lastError().empty()) {
                return 2;
            }
            return writer.GetSettingString("Info", "Title", "") == longTitle ? 0 : 3;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(file), before);
        EXPECT_EQ(test::filesIn(dir), 2u);
    }
}

TEST_F(XmlSettingsTest, UnreadableFileIsNeverReplaced) {
    const std::string secret = "<settings><key name=\"secret\">1</key></settings>";
    writeFile(file, secret);
    fs::permissions(file, fs::perms::none);
    fs::permissions(dir, fs::perms::all);
    const int status = test::runInChild([this] {
        if (!test::becomeUnprivileged()) {
            return test::kPlaceNotSetUp;
        }
        CXMLSettings writer = folder.settings();
        if (writer.GetSettingString("", "secret", "dflt") != "dflt") {
            return 1;
        }
        return writer.SetSettingString("Info", "Title", "new") ? 2 : 0;
    });
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_NE(status, test::kPlaceNotSetUp) << "cannot drop root rights here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), secret);
    EXPECT_FALSE(fs::exists(dir / "velnor.config.xml.bad"));
}

} // namespace
} // namespace velnor
