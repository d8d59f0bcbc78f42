#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/Texts.h"
#include "files/ListFile.h"
#include "files/RecordLog.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

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
    test::writeFile(path, "old contents");
    RowList list({"No."});
    list.appendRow({"1"});
    test::ScriptedPrompts prompts;
    NoTexts texts;

    ASSERT_TRUE(SaveListFile(path.string(), list, prompts, texts));
    EXPECT_EQ(test::readFile(path), "No.,\r\n\"1\",\r\n");
    EXPECT_TRUE(prompts.asked.empty());

    if (::geteuid() != 0) { // root may write anywhere
        ::chmod(dir.path().c_str(), 0500);
        EXPECT_FALSE(SaveListFile(path.string(), RowList({"X"}), prompts, texts));
        ::chmod(dir.path().c_str(), 0700);
        EXPECT_EQ(test::readFile(path), "No.,\r\n\"1\",\r\n");
    }
    EXPECT_FALSE(SaveListFile((dir / "missing" / "x.fpb").string(), list, prompts, texts));
    ASSERT_FALSE(prompts.asked.empty());
    EXPECT_EQ(prompts.asked.back().id, 8055);
    EXPECT_EQ(prompts.asked.back().text, "cannot create");
}

TEST(RecordLog, OneHexLinePerRecordAndEmptiedAtEveryRead) {
    test::TempDir dir;
    const std::string path = (dir / "phone.log").string();
    {
        RecordLog log(path);
        const uint8_t first[] = {0x4A, 0xFF, 0x00};
        log.append(first, sizeof first);
        log.append(first, 1);
    }
    EXPECT_EQ(test::readFile(path), "4AFF00\r\n4A\r\n");
    { RecordLog log(path); }
    EXPECT_EQ(test::readFile(path), "");
    RecordLog nowhere((dir / "missing" / "sms.log").string());
    EXPECT_FALSE(nowhere.isOpen());
    nowhere.append(reinterpret_cast<const uint8_t *>("x"), 1);
}

} // namespace
} // namespace velnor
