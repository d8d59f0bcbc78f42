#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Texts.h"
#include "files/ListFile.h"
#include "files/RecordLog.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor {
namespace {

class NoTexts : public Texts {
public:
    const char *find(int id) const override { return id == 8055 ? "cannot create" : nullptr; }
};

TEST(ListFile, WritesHeaderAndQuotedCellsWithoutEscaping) {
    RowList list({"No.", "Name", "Number"});
    EXPECT_EQ(listFileText(list), "No.,Name,Number,\r\n");
    list.appendRow({"1", "Say \"hi\", Bob", "+49"});
    list.appendRow({"2", "", ""});
    EXPECT_EQ(listFileText(list), "No.,Name,Number,\r\n"
                                  "\"1\",\"Say \"hi\", Bob\",\"+49\",\r\n"
                                  "\"2\",\"\",\"\",\r\n");
}

TEST(ListFile, LongLinesAreWrittenWhole) {
    RowList list({"No.", "Text"});
    const std::string text(5000, 'x');
    list.appendRow({"1", text});
    EXPECT_EQ(listFileText(list), "No.,Text,\r\n\"1\",\"" + text + "\",\r\n");
}

TEST(ListFile, FailedSaveKeepsTheOldFileAndTellsTheUser) {
    test::TempDir dir;
    const auto path = dir / "list.fpb";
    RowList list({"No."});
    list.appendRow({"1"});
    test::ScriptedPrompts prompts;
    NoTexts texts;
    ASSERT_TRUE(SaveListFile(path.string(), list, prompts, texts));
    EXPECT_TRUE(prompts.asked.empty());

    for (const test::Unwritable place : test::kUnwritableFiles) {
        SCOPED_TRACE(test::describe(place));
        const int status = test::inUnwritablePlace(place, dir.path(), [&] {
            const bool saved = SaveListFile(path.string(), RowList({"X"}), prompts, texts);
            return !saved && prompts.ids() == std::vector<int>{8055} ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(test::readFile(path), "No.,\r\n\"1\",\r\n");
        EXPECT_EQ(test::filesIn(dir.path()), 1u);
    }
    EXPECT_FALSE(SaveListFile((dir / "missing" / "x.fpb").string(), list, prompts, texts));
    ASSERT_EQ(prompts.ids(), std::vector<int>{8055});
    EXPECT_EQ(prompts.asked.back().text, "cannot create");
}

TEST(RecordLog, OneHexLinePerRecordEveryReadAndKeptWhenItCannotBeWritten) {
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
    for (const test::Unwritable place : test::kUnwritableFiles) {
        SCOPED_TRACE(test::describe(place));
        const int status = test::inUnwritablePlace(place, dir.path(), [&] {
            RecordLog log(path);
            const bool logged = log.append(first, sizeof first);
            log.close();
            return !logged && !log.error().empty() ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(test::readFile(path), "4AFF00\r\n4A\r\n") << "the previous log is kept";
        EXPECT_EQ(test::filesIn(dir.path()), 1u);
    }
    { RecordLog log(path); }
    EXPECT_EQ(test::readFile(path), "");
    RecordLog nowhere((dir / "missing" / "sms.log").string());
    EXPECT_FALSE(nowhere.append(reinterpret_cast<const uint8_t *>("x"), 1));
    EXPECT_NE(nowhere.error().find("missing"), std::string::npos);
}

} // namespace
} // namespace velnor
