#include <gtest/gtest.h>

#include "files/CsvLineParser.h"
#include "files/ListFile.h"
#include "files/RecordLog.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

TEST(ListFile, WritesHeaderAndQuotedCellsThatReadBackAsTheyWere) {
    RowList list({"No.", "Name", "Number"});
    EXPECT_EQ(listFileText(list), "No.,Name,Number,\r\n");
    list.appendRow({"1", "Say \"hi\", Bob", "+49"});
    list.appendRow({"2", "", ""});
    EXPECT_EQ(listFileText(list), "No.,Name,Number,\r\n"
                                  "\"1\",\"Say \"\"\"hi\"\"\", Bob\",\"+49\",\r\n"
                                  "\"2\",\"\",\"\",\r\n");
    // The optional columns go up to the last that a row fills, and only while one does.
    RowList six({"No.", "Name", "Number", "E-mail", "Additional", "Second"});
    six.setFixedColumns(3);
    six.appendRow({"1", "A", "1"});
    EXPECT_EQ(listFileText(six), "No.,Name,Number,\r\n\"1\",\"A\",\"1\",\r\n");
    six.setCell(0, 4, "2");
    EXPECT_EQ(listFileText(six), "No.,Name,Number,E-mail,Additional,\r\n"
                                 "\"1\",\"A\",\"1\",\"\",\"2\",\r\n");
    six.removeRow(0);
    EXPECT_EQ(listFileText(six), "No.,Name,Number,\r\n");
    // A quotation mark anywhere in a cell, even before a comma or at either end, survives.
    const std::vector<std::string> cells = {"\"", "a\",b", "\"\",", "end\"", "\"\"\"", ",\",\","};
    RowList tricky({"No.", "Name"});
    for (const std::string &cell : cells) {
        tricky.appendRow({"1", cell});
    }
    const std::string text = listFileText(tricky);
    CsvFieldCursor fields(text);
    std::string field;
    for (int title = 0; title < 2; ++title) {
        ASSERT_TRUE(fields.next(field));
    }
    for (const std::string &cell : cells) {
        ASSERT_TRUE(fields.next(field)); // the line's end, then the number the import ignores
        ASSERT_TRUE(fields.next(field));
        EXPECT_EQ(field, cell);
    }
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
