#include <gtest/gtest.h>

#include <sys/stat.h>

#include <pugixml.hpp>

#include "AppTestSupport.h"
#include "app/CXMLSettings.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

class XmlSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { settings.SetSettingsFile(file.string()); }

    CXMLSettings fresh() const {
        CXMLSettings other;
        other.SetSettingsFile(file.string());
        return other;
    }
    size_t filesInFolder() const { return test::filesIn(dir.path()); }

    TempDir dir;
    fs::path file = dir / "velnor.config.xml";
    CXMLSettings settings;
};

TEST_F(XmlSettingsTest, MissingFileGivesDefaultsAndCreatesNothing) {
    EXPECT_EQ(settings.GetSettingString("Info", "Title", "dflt"), "dflt");
    EXPECT_EQ(settings.GetSettingLong("Configuration\\RunTime", "AlreadyRun", 42), 42);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(XmlSettingsTest, SetterCreatesFileSectionsAndKeyAndPersistsAtOnce) {
    ASSERT_TRUE(settings.SetSettingString("Configuration\\Language", "Name",
                                          "Fran\xC3\xA7"
                                          "ais"));
    ASSERT_TRUE(settings.SetSettingLong("Configuration\\Language", "ID", 0x40C));
    ASSERT_TRUE(settings.SetSettingLong("Configuration\\RunTime", "AlreadyRun", 3));

    const CXMLSettings reader = fresh();
    EXPECT_EQ(reader.GetSettingString("Configuration\\Language", "Name", ""), "Fran\xC3\xA7"
                                                                              "ais");
    EXPECT_EQ(reader.GetSettingLong("Configuration\\Language", "ID", 0), 0x40C);
    EXPECT_EQ(reader.GetSettingLong("Configuration\\RunTime", "AlreadyRun", 0), 3);
    // A key of the same name in another section is another key.
    EXPECT_EQ(reader.GetSettingString("Configuration", "Name", "none"), "none");

    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(file.c_str()));
    const auto sections = document.select_nodes("/settings/section[@name='Configuration']");
    EXPECT_EQ(sections.size(), 1u) << "both paths share their outer section";
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(XmlSettingsTest, AnyTextIsAValidSectionOrKeyNameOrValue) {
    ASSERT_TRUE(settings.SetSettingString("ListCtrls\\1801 <&>", "0", "1A2B"));
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "   "));
    EXPECT_EQ(fresh().GetSettingString("ListCtrls\\1801 <&>", "0", ""), "1A2B");
    EXPECT_EQ(fresh().GetSettingString("Info", "Title", ""), "   ");
}

TEST_F(XmlSettingsTest, LongReadsLeadingDigitsOrFallsBackToTheDefault) {
    const std::pair<const char *, long> cases[] = {
        {"  42", 42}, {"-7x", -7}, {"+5", 5}, {"abc", 99}, {"", 99}, {"99999999999999999999", 99}};
    for (const auto &[text, expected] : cases) {
        ASSERT_TRUE(settings.SetSettingString("N", "v", text));
        EXPECT_EQ(settings.GetSettingLong("N", "v", 99), expected) << '"' << text << '"';
    }
}

TEST_F(XmlSettingsTest, ChangesByAnotherWriterAreSeen) {
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "first"));
    CXMLSettings other = fresh();
    ASSERT_TRUE(other.SetSettingString("Info", "Title", "second"));
    EXPECT_EQ(settings.GetSettingString("Info", "Title", ""), "second");
    ASSERT_TRUE(settings.SetSettingString("Info", "Author", "me"));
    EXPECT_EQ(fresh().GetSettingString("Info", "Title", ""), "second")
        << "a save must not bring back an older value";
}

TEST_F(XmlSettingsTest, CopiesShareOneDocument) {
    EXPECT_EQ(settings.documentReferences(), 0);
    settings.GetSettingString("Info", "Title", "");
    EXPECT_EQ(settings.documentReferences(), 1);
    {
        CXMLSettings copy(settings);
        EXPECT_EQ(settings.documentReferences(), 2);
        EXPECT_EQ(copy.settingsFile(), settings.settingsFile());
        ASSERT_TRUE(copy.SetSettingString("Info", "Title", "shared"));
        EXPECT_EQ(settings.documentReferences(), 2) << "a save keeps the shared document";
    }
    EXPECT_EQ(settings.documentReferences(), 1);
    EXPECT_EQ(settings.GetSettingString("Info", "Title", ""), "shared");
}

TEST_F(XmlSettingsTest, AssignmentMovesTheReferenceAndCopiesThePath) {
    TempDir otherDir;
    CXMLSettings other;
    other.SetSettingsFile((otherDir / "other.xml").string());
    ASSERT_TRUE(other.SetSettingString("Info", "Title", "other"));
    settings.GetSettingString("Info", "Title", "");
    CXMLSettings keeper(settings);
    ASSERT_EQ(keeper.documentReferences(), 2);

    settings = other;
    EXPECT_EQ(keeper.documentReferences(), 1) << "the old document is released";
    EXPECT_EQ(other.documentReferences(), 2) << "the new one is taken";
    EXPECT_EQ(settings.settingsFile(), other.settingsFile());
    EXPECT_EQ(settings.GetSettingString("Info", "Title", ""), "other");

    const CXMLSettings &same = settings;
    settings = same;
    EXPECT_EQ(other.documentReferences(), 2) << "assigning the same document changes nothing";

    settings.UnloadXML();
    EXPECT_EQ(settings.documentReferences(), 0);
    EXPECT_EQ(other.documentReferences(), 1);
    EXPECT_EQ(settings.GetSettingString("Info", "Title", ""), "other") << "loads again on use";
}

TEST_F(XmlSettingsTest, DamagedFileIsKeptAsBadAndDefaultsApply) {
    const std::string damaged = "<settings><section name=\"Info\"><key name=\"Title\">x";
    writeFile(file, damaged);
    writeFile(dir / "velnor.config.xml.bad", "an older damaged file");

    EXPECT_EQ(settings.GetSettingString("Info", "Title", "dflt"), "dflt");
    EXPECT_EQ(readFile(dir / "velnor.config.xml.bad"), "an older damaged file");
    EXPECT_EQ(readFile(dir / "velnor.config.xml.bad.1"), damaged);
    EXPECT_NE(settings.lastError().find("velnor.config.xml.bad.1"), std::string::npos)
        << settings.lastError();
    EXPECT_FALSE(fs::exists(file));

    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "new"));
    EXPECT_EQ(fresh().GetSettingString("Info", "Title", ""), "new");
}

TEST_F(XmlSettingsTest, EmptyAndForeignFilesAreHandled) {
    writeFile(file, "");
    EXPECT_EQ(settings.GetSettingLong("A", "b", 1), 1);
    EXPECT_TRUE(fs::exists(dir / "velnor.config.xml.bad"));

    // Well-formed XML of another shape is read as it is, not thrown away.
    writeFile(file, "<?xml version=\"1.0\"?><other><key name=\"k\">v</key></other>");
    EXPECT_EQ(settings.GetSettingString("", "k", ""), "v");
    ASSERT_TRUE(settings.SetSettingString("", "k", "w"));
    EXPECT_EQ(fresh().GetSettingString("", "k", ""), "w");
}

// In a full or read-only place the setter fails without touching the old file, the run goes
// on with the value in memory, and once there is room again the same value is saved.
TEST_F(XmlSettingsTest, SetterThatCannotSaveLeavesTheOldFileIntact) {
    const std::string longTitle(500, 'x');
    for (const test::Unwritable place : test::kUnwritableFiles) {
        SCOPED_TRACE(test::describe(place));
        ASSERT_TRUE(settings.SetSettingString("Info", "Title", "old"));
        const std::string before = readFile(file);
        const int status = test::inUnwritablePlace(place, dir.path(), [&] {
            CXMLSettings writer = fresh();
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
        EXPECT_EQ(filesInFolder(), 1u);
    }
    CXMLSettings writer = fresh();
    writer.SetSettingString("Info", "Title", "other");
    EXPECT_TRUE(writer.SetSettingString("Info", "Title", longTitle));
    EXPECT_EQ(fresh().GetSettingString("Info", "Title", ""), longTitle);
}

TEST_F(XmlSettingsTest, UnchangedValueLeavesTheFileAlone) {
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "same"));
    const auto inode = [this] {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_ino;
    };
    const auto first = inode();
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "same"));
    EXPECT_EQ(inode(), first);
    ASSERT_TRUE(settings.SetSettingString("Info", "Title", "other"));
    EXPECT_NE(inode(), first);
}

TEST_F(XmlSettingsTest, UnreadableFileIsNeverReplaced) {
    writeFile(file, "<settings><key name=\"secret\">1</key></settings>");
    fs::permissions(file, fs::perms::none);
    fs::permissions(dir.path(), fs::perms::all);

    const int status = test::runInChild([this] {
        if (!test::becomeUnprivileged()) {
            return test::kPlaceNotSetUp;
        }
        CXMLSettings writer = fresh();
        if (writer.GetSettingString("", "secret", "dflt") != "dflt") {
            return 1;
        }
        return writer.SetSettingString("Info", "Title", "new") ? 2 : 0;
    });
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_NE(status, test::kPlaceNotSetUp) << "cannot drop root rights here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), "<settings><key name=\"secret\">1</key></settings>");
    EXPECT_FALSE(fs::exists(dir / "velnor.config.xml.bad"));
}

} // namespace
} // namespace velnor
