#include <gtest/gtest.h>

#include "files/ListFile.h"
#include "files/RecordLog.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

TEST(ListFile, WritesHeaderAndQuotedCellsWithoutEscaping) {
    RowList list({"No.", "Name", "Number"});
    EXPECT_EQ(listFileText(list), "No.,Name,Number,\r\n");
    list.appendRow({"1", "Say \"hi\", Bob", "+49"});
    list.appendRow({"2", "", ""});
    EXPECT_EQ(listFileText(list), "No.,Name,Number,\r\n"
                                  "\"1\",\"Say \"hi\", Bob\",\"+49\",\r\n"
                                  "\"2\",\"\",\"\",\r\n");
}

// How a failed write leaves the old file is the atomic writer's to test; here, that it is said.
TEST(ListFile, SaveThatCannotBeMadeIsReported) {
    test::TempDir dir;
    RowList list({"No."});
    list.appendRow({"1"});
    test::ScriptedPrompts prompts;
    test::EnglishTexts texts;
    ASSERT_TRUE(SaveListFile((dir / "list.fpb").string(), list, prompts, texts));
    EXPECT_EQ(test::readFile(dir / "list.fpb"), "No.,\r\n\"1\",\r\n");
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(SaveListFile((dir / "missing" / "x.fpb").string(), list, prompts, texts));
    ASSERT_EQ(prompts.ids(), std::vector<int>{8055});
    EXPECT_EQ(prompts.asked.back().text, texts.get(8055));
}

TEST(RecordLog, OneHexLinePerRecordReplacingTheLogWhenClosed) {
    test::TempDir dir;
    const std::string path = (dir / "phone.log").string();
    const uint8_t first[] = {0x4A, 0xFF, 0x00};
    {
        RecordLog log(path);
        EXPECT_TRUE(log.append(first, sizeof first));
        EXPECT_TRUE(log.append(first, 1));
        EXPECT_EQ(test::readFile(path), "") << "replaced when it is closed";
    }
    EXPECT_EQ(test::readFile(path), "4AFF00\r\n4A\r\n");
    { RecordLog log(path); }
    EXPECT_EQ(test::readFile(path), "");
    RecordLog nowhere((dir / "missing" / "sms.log").string());
    EXPECT_FALSE(nowhere.append(first, 1));
    EXPECT_NE(nowhere.error().find("missing"), std::string::npos);
}

} // namespace
} // namespace velnor
