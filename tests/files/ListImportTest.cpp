#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/TextIds.h"
#include "codec/CodecTestSupport.h"
#include "files/ListFile.h"
#include "files/ListImport.h"
#include "records/MessageCompose.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor {
namespace {

class ListImport : public ::testing::Test {
protected:
    void SetUp() override {
        card.alphaLength = 16;
        phonebook.setFixedColumns(3);
    }

    bool importPhonebook(const std::string &content, const CodePage *codePage = nullptr) {
        test::writeFile(dir / "in.fpb", content);
        return ImportListFile((dir / "in.fpb").string(), phonebook, card, report, prompts, texts,
                              codePage);
    }
    bool importMessages(const std::string &content) {
        test::writeFile(dir / "in.fsm", content);
        return ImportListFile((dir / "in.fsm").string(), messages, card, report, prompts, texts);
    }

    test::TempDir dir;
    test::EnglishTexts texts;
    test::ScriptedPrompts prompts;
    CardState card;
    ImportReport report;
    RowList phonebook{{"No.", "Name", "Number", "E-mail", "Additional number", "Second name"}};
    MessageList messages{{"No.", "Status", "Number", "Time", "Text"}};
    const std::string header = "No.,Name,Number,\r\n";
};

TEST_F(ListImport, SavedPhonebookReadsBackNumberedAfterTheRowsThere) {
    RowList saved({"No.", "Name", "Number"});
    saved.appendRow({"7", "Anna", "+4930123"});
    saved.appendRow({"3", "", ""});
    ASSERT_TRUE(SaveListFile((dir / "saved.fpb").string(), saved, prompts, texts));
    for (int twice = 0; twice < 2; ++twice) {
        ASSERT_TRUE(
            ImportListFile((dir / "saved.fpb").string(), phonebook, card, report, prompts, texts));
    }
    EXPECT_EQ(listFileText(phonebook), header +
                                           "\"1\",\"Anna\",\"+4930123\",\r\n\"2\",\"\",\"\",\r\n"
                                           "\"3\",\"Anna\",\"+4930123\",\r\n\"4\",\"\",\"\",\r\n");
    EXPECT_FALSE(report.overLengthFound);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ListImport, FilesThatGiveNoRowsAreRefusedAndAddNothing) {
    phonebook.appendRow({"1", "kept", "1"});
    report.overLengthRows = "5,";
    EXPECT_FALSE(
        ImportListFile((dir / "missing.fpb").string(), phonebook, card, report, prompts, texts));
    EXPECT_FALSE(ImportListFile(dir.path().string(), phonebook, card, report, prompts, texts));
    EXPECT_EQ(report.overLengthRows, "5,"); // the last import's report stays
    // Every three commas would make a row of a hundred bytes: refused before any row is made.
    const std::string commas(kImportHeapFloor / kImportHeapPerFileByte + 3, ',');
    const std::pair<std::string, ImportResult> cases[] = {
        {"", ImportResult::Done},
        {header, ImportResult::NoRows},
        {"a,b", ImportResult::NoRows},
        {std::string("\0\"1\",\"x\",\"2\",\"y\",", 17), ImportResult::NoRows},
        {"\xFF\xFE" + header, ImportResult::NoRows}, // UTF-16 by its mark, but not UTF-16
        {commas, ImportResult::TooLarge}};
    for (const auto &[content, result] : cases) {
        EXPECT_EQ(importListText(content, phonebook, card, report), result);
        EXPECT_EQ(importListText(content, messages, card, report), result);
    }
    // A CSV file is refused when its rows, counted as they come, pass the budget.
    std::string numbers = "Name,Number\n";
    for (size_t i = 0; i < kImportHeapFloor / 128; ++i) {
        numbers += ",1\n";
    }
    EXPECT_EQ(importListText(numbers, phonebook, card, report), ImportResult::TooLarge);
    EXPECT_TRUE(importPhonebook(""));
    EXPECT_FALSE(importPhonebook(header));
    EXPECT_FALSE(importPhonebook("Vorname\tTelefon\nAnna\t1\n"));
    EXPECT_EQ(prompts.asked.back().text, "The file's columns hold no name and number that could be "
                                         "recognised, so nothing was imported. The columns found: "
                                         "\"Vorname\", \"Telefon\".");
    EXPECT_FALSE(importMessages(commas));
    EXPECT_EQ(phonebook.rowCount(), 1u);
    EXPECT_EQ(messages.size(), 0u);
    EXPECT_EQ(prompts.ids(),
              (std::vector<int>{8054, 8054, text::NoRowsImported, text::CsvColumnsUnknown, 9004}));
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Information);
    EXPECT_EQ(prompts.asked[2].messageKind, MessageKind::Error);
}

TEST_F(ListImport, AFileThatMayOnlyBeReadImports) {
    test::writeFile(dir / "read-only.fpb", header + "\"1\",\"A\",\"1\",\r\n");
    ::chmod((dir / "read-only.fpb").c_str(), 0444);
    ::chmod(dir.path().c_str(), 0755);
    // Root may write anything: the import runs as a user who may not.
    const int rows = test::runInChild([&] {
        if (!test::becomeUnprivileged()) {
            return test::kPlaceNotSetUp;
        }
        const bool imported = ImportListFile((dir / "read-only.fpb").string(), phonebook, card,
                                             report, prompts, texts);
        return imported ? static_cast<int>(phonebook.rowCount()) : 100 + prompts.ids().back();
    });
    EXPECT_EQ(rows, 1);
}

// A list saved with the rows of each vector, imported into an empty list.
TEST_F(ListImport, RowsTheCardCannotKeepAsTheyAreAreReportedAndKeptWhole) {
    card.smscNumber = "491710760000";
    for (const test::json &v : test::loadVectors("files/imports.json")) {
        SCOPED_TRACE(v.dump());
        card.alphaLength = v.value("alphaLength", 16);
        card.ucs82Unsupported = v.value("no82", false);
        const bool isPhonebook = v.at("list") == "phonebook";
        RowList saved(isPhonebook ? phonebook.titles() : messages.rows().titles());
        for (const test::json &row : v.at("rows")) {
            const std::string number = test::textOf(row[isPhonebook ? 1 : 0]);
            const std::string text = test::textOf(row[isPhonebook ? 0 : 1]);
            std::vector<std::string> cells =
                isPhonebook
                    ? std::vector<std::string>{"9", text, number}
                    : std::vector<std::string>{"9", "Read", number, "2008-04-12 13:45:20", text};
            for (size_t extra = 2; isPhonebook && extra < row.size(); ++extra) {
                cells.push_back(row[extra]); // e-mail, additional number, second name
            }
            saved.appendRow(cells);
        }
        saved.setFixedColumns(isPhonebook ? 3 : 5);
        RowList rows(saved.titles());
        MessageList list(saved.titles());
        const ImportResult result = isPhonebook
                                        ? importListText(listFileText(saved), rows, card, report)
                                        : importListText(listFileText(saved), list, card, report);
        ASSERT_EQ(result, ImportResult::Done);
        EXPECT_EQ(report.overLengthRows, v.at("tooLong"));
        EXPECT_TRUE(report.overLengthFound);
        const RowList &imported = isPhonebook ? rows : list.rows();
        ASSERT_EQ(imported.rowCount(), saved.rowCount());
        for (size_t i = 0; i < saved.rowCount(); ++i) {
            std::vector<std::string> cells = saved.rowCells(i);
            cells[0] = std::to_string(i + 1);
            EXPECT_EQ(imported.rowCells(i), cells);
            EXPECT_TRUE(imported.isChecked(i));
            if (!isPhonebook) {
                const test::json &row = v["rows"][i];
                EXPECT_EQ(list.store()[i],
                          composeMessageImage(cells[2], test::textOf(row.back()), card));
            }
        }
    }
}

TEST_F(ListImport, FilesInOtherCodePagesImport) {
    // "张伟" in GBK is found as such; in a code page named it is taken as said: "ХЕО°" in
    // Windows-1251.
    const std::string gbk = header + "\"1\",\"\xD5\xC5\xCE\xB0\",\"1\",\r\n";
    ASSERT_TRUE(importPhonebook(gbk));
    ASSERT_TRUE(importPhonebook(gbk, findCodePage("windows-1251")));
    EXPECT_EQ(phonebook.cell(0, 1), "张伟");
    EXPECT_EQ(phonebook.cell(1, 1), "ХЕО°");
}

TEST_F(ListImport, BinaryGarbageNeverBreaksTheImport) {
    std::string garbage;
    uint32_t state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1103515245 + 12345;
        garbage += static_cast<char>((state >> 16) | 1); // no zero bytes
    }
    EXPECT_EQ(importPhonebook(garbage), !phonebook.empty());
    EXPECT_EQ(importMessages(garbage), messages.size() > 0);
    EXPECT_EQ(messages.size(), messages.rows().rowCount());
    for (size_t row = 0; row < phonebook.rowCount(); ++row) {
        EXPECT_EQ(phonebook.cell(row, 0), std::to_string(row + 1));
    }
}

} // namespace
} // namespace velnor
