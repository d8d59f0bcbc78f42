#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Utf8.h"
#include "files/ListFile.h"
#include "files/ListImport.h"
#include "sim/MessageCompose.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor {
namespace {

std::vector<std::string> column(const RowList &list, size_t c) {
    std::vector<std::string> values;
    for (size_t row = 0; row < list.rowCount(); ++row) {
        values.push_back(list.cell(row, c));
    }
    return values;
}

class ListImport : public ::testing::Test {
protected:
    void SetUp() override { card.alphaLength = 16; }

    bool importPhonebook(const std::string &content) {
        test::writeFile(dir / "in.fpb", content);
        return ImportListFile((dir / "in.fpb").string(), phonebook, card, report, prompts, texts);
    }
    bool importMessages(const std::string &content) {
        test::writeFile(dir / "in.fsm", content);
        return ImportListFile((dir / "in.fsm").string(), messages, card, report, prompts, texts);
    }
    std::string messageLine(const std::string &number, const std::string &text) {
        return "\"9\",\"Read\",\"" + number + "\",\"2008-04-12 13:45:20\",\"" + text + "\",\r\n";
    }
    SM_PARAM storedMessage(size_t i) {
        SM_PARAM param;
        EXPECT_TRUE(CMyTools::gsmDecodePdu(messages.store()[i].data() + 1, kMessageImageSize - 1,
                                           param, false));
        return param;
    }

    test::TempDir dir;
    test::EnglishTexts texts;
    test::ScriptedPrompts prompts;
    CardState card;
    ImportReport report;
    RowList phonebook{{"No.", "Name", "Number"}};
    MessageList messages{{"No.", "Status", "Number", "Time", "Text"}};
    const std::string header = "No.,Name,Number,\r\n";
    const std::string messageHeader = "No.,Status,Number,Time,Text,\r\n";
};

TEST_F(ListImport, SavedPhonebookReadsBackRenumberedAndTicked) {
    RowList saved({"No.", "Name", "Number"});
    saved.appendRow({"7", "Anna, the boss", "+4930123"});
    saved.appendRow({"3", "\xE5\xBC\xA0\xE4\xBC\x9F", "13912345678"}); // "张伟"
    saved.appendRow({"1", "", ""});
    saved.appendRow({"2", "Bob {home}", "*#06#"});
    ASSERT_TRUE(SaveListFile((dir / "saved.fpb").string(), saved, prompts, texts));

    ASSERT_TRUE(
        ImportListFile((dir / "saved.fpb").string(), phonebook, card, report, prompts, texts));
    EXPECT_EQ(column(phonebook, 0), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(column(phonebook, 1), column(saved, 1));
    EXPECT_EQ(column(phonebook, 2), column(saved, 2));
    for (size_t row = 0; row < phonebook.rowCount(); ++row) {
        EXPECT_TRUE(phonebook.isChecked(row));
    }
    EXPECT_FALSE(report.overLengthFound);
    EXPECT_TRUE(prompts.asked.empty());

    // A second import appends the same entries again, numbered on.
    ASSERT_TRUE(
        ImportListFile((dir / "saved.fpb").string(), phonebook, card, report, prompts, texts));
    EXPECT_EQ(phonebook.rowCount(), 8u);
    EXPECT_EQ(phonebook.rowCells(5),
              (std::vector<std::string>{"6", "\xE5\xBC\xA0\xE4\xBC\x9F", "13912345678"}));
    // And the list saved again is the file it came from, apart from the numbers.
    RowList again({"No.", "Name", "Number"});
    importListText(test::readFile(dir / "saved.fpb"), again, card, report);
    EXPECT_EQ(listFileText(again), listFileText([&] {
                  RowList renumbered = saved;
                  renumbered.renumberFrom(0);
                  return renumbered;
              }()));
}

TEST_F(ListImport, OnlyAnEmptyFileMayGiveNoRows) {
    phonebook.appendRow({"1", "kept", "1"});
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
        EXPECT_EQ(phonebook.rowCount(), 1u);
        EXPECT_EQ(messages.size(), 0u);
    }
    EXPECT_TRUE(importPhonebook(""));
    EXPECT_FALSE(importPhonebook(header));
    EXPECT_FALSE(importMessages(commas));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{kNoRowsText, 9004}));
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Error);
}

TEST_F(ListImport, TextEndsAtTheFirstZeroByte) {
    std::string content = header + "\"1\",\"Anna\",\"1\",\r\n";
    content += std::string(1, '\0') + "\"2\",\"Bob\",\"2\",\r\n";
    ASSERT_TRUE(importPhonebook(content));
    EXPECT_EQ(column(phonebook, 1), (std::vector<std::string>{"Anna"}));
}

TEST_F(ListImport, FileThatCannotBeOpenedIsReported) {
    report.overLengthRows = "5,";
    EXPECT_FALSE(
        ImportListFile((dir / "missing.fpb").string(), phonebook, card, report, prompts, texts));
    EXPECT_FALSE(ImportListFile(dir.path().string(), phonebook, card, report, prompts, texts));
    ASSERT_EQ(prompts.ids(), (std::vector<int>{8054, 8054}));
    EXPECT_EQ(prompts.asked[0].messageKind, MessageKind::Information);
    EXPECT_EQ(report.overLengthRows, "5,"); // the last import's report stays
    EXPECT_TRUE(phonebook.empty());
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

TEST_F(ListImport, QuoteAndCommaInsideACellShiftsTheRows) {
    ASSERT_TRUE(importPhonebook(header + "\"1\",\"Say \"hi\", Bob\",\"123\",\r\n" +
                                "\"2\",\"Carl\",\"456\",\r\n"));
    // Fields: ... "\r\n"1"", "Say "hi", " Bob"", "123", "\r\n"2"", "Carl", "456", "\r\n".
    EXPECT_EQ(column(phonebook, 1), (std::vector<std::string>{"Say \"hi", "\r\n\"2\""}));
    EXPECT_EQ(column(phonebook, 2), (std::vector<std::string>{" Bob\"", "Carl"}));
}

TEST_F(ListImport, LinesWithoutTrailingCommaMisalign) {
    ASSERT_TRUE(importPhonebook("No.,Name,Number\r\n1,Anna,123\r\n2,Bob,456\r\n"));
    EXPECT_EQ(phonebook.rowCount(), 1u);
    EXPECT_EQ(phonebook.rowCells(0), (std::vector<std::string>{"1", "123\r\n2", "Bob"}));
}

TEST_F(ListImport, TripleQuoteReadsBackAsOne) {
    ASSERT_TRUE(importPhonebook(header + "\"1\",\"The \"\"\"Boss\"\"\"\",\"1\",\r\n"));
    EXPECT_EQ(column(phonebook, 1), (std::vector<std::string>{"The \"Boss\""}));
}

TEST_F(ListImport, EntriesTheCardCannotKeepAsTheyAreAreReportedAndKept) {
    const std::string hangul8 = "\xEA\xB0\x80\xEA\xB0\x81\xEA\xB0\x82\xEA\xB0\x83"
                                "\xEA\xB0\x84\xEA\xB0\x85\xEA\xB0\x86\xEA\xB0\x87";
    const std::string content = header + "\"1\",\"Sixteen chars ok\",\"1\",\r\n" +
                                "\"2\",\"Seventeen chars!!\",\"2\",\r\n" +
                                "\"3\",\"Fifteen chars{}\",\"3\",\r\n" + "\"4\",\"" + hangul8 +
                                "\",\"4\",\r\n" + "\"5\",\"Anna \xF0\x9F\x98\x80\",\"5\",\r\n" +
                                "\"6\",\"Carl\",\"12+34\",\r\n" + "\"7\",\"Dora\",\"\",\r\n";
    ASSERT_TRUE(importPhonebook(content));
    EXPECT_EQ(phonebook.rowCount(), 7u);
    EXPECT_TRUE(report.overLengthFound);
    // Too long, an emoji the card would change, a "+" inside the number; a name alone is fine.
    EXPECT_EQ(report.overLengthRows, "2,3,5,6,");

    // Without the 0x82 coding the eight characters need 16 bytes of UCS2, one too many.
    card.ucs82Unsupported = true;
    ASSERT_TRUE(importPhonebook(content));
    EXPECT_EQ(report.overLengthRows, "9,10,11,12,13,");

    // No card read yet: every name that is not empty is too long.
    card = CardState{};
    ASSERT_TRUE(importPhonebook(header + "\"1\",\"A\",\"1\",\r\n\"2\",\"\",\"2\",\r\n"));
    EXPECT_EQ(report.overLengthRows, "15,");
    EXPECT_EQ(phonebook.rowCount(), 16u);
}

TEST_F(ListImport, MessagesKeepTheFileTextsAndGetComposedImages) {
    card.smscNumber = "491710760000";
    ASSERT_TRUE(importMessages(messageHeader + messageLine("+4917123456", "hello") +
                               messageLine("0301234", "second")));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(
        messages.rows().rowCells(0),
        (std::vector<std::string>{"1", "Read", "+4917123456", "2008-04-12 13:45:20", "hello"}));
    EXPECT_TRUE(messages.rows().isChecked(1));
    EXPECT_EQ(messages.store()[0], composeMessageImage("+4917123456", "hello", card));
    EXPECT_EQ(storedMessage(1).text, "second");
    EXPECT_FALSE(report.overLengthFound);
}

TEST_F(ListImport, MessagesBeyondOneMessageAreReportedAndCutOnlyInTheImage) {
    const auto repeat = [](const std::string &unit, size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) {
            s += unit;
        }
        return s;
    };
    const std::string zhe = "\xD0\x96"; // "Ж"
    struct Case {
        std::string number;
        std::string text;
        std::string stored;
    } cases[] = {
        {"+4917012345678", repeat("a", 160), repeat("a", 160)},
        {"+4917012345678", repeat("a", 161), repeat("a", 160)},
        {"1", repeat("a", 159) + "\xE2\x82\xAC", repeat("a", 159)}, // "€" takes two septets
        {"1", "{{" + repeat("b", 156), "{{" + repeat("b", 156)},    // 160 septets
        {"1", repeat(zhe, 70), repeat(zhe, 70)},
        {"1", repeat(zhe, 76), repeat(zhe, 70)},
        {"1", zhe + repeat("a", 100), zhe + repeat("a", 69)},
        {"12+34", "hi", "hi"}, // a "+" inside the number
    };
    std::string content = messageHeader;
    for (const Case &c : cases) {
        content += messageLine(c.number, c.text);
    }
    ASSERT_TRUE(importMessages(content));
    EXPECT_EQ(report.overLengthRows, "2,3,6,7,8,");
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(messages.rows().cell(i, 4), cases[i].text); // the list keeps the file's text
        EXPECT_EQ(storedMessage(i).text, cases[i].stored) << i;
    }
}

TEST_F(ListImport, MoreRowsThanTheOldFieldArrayHeld) {
    std::string content = header;
    for (int i = 1; i <= 1000; ++i) {
        content += "\"" + std::to_string(i) + "\",\"N" + std::to_string(i) + "\",\"" +
                   std::to_string(i) + "\",\r\n";
    }
    ASSERT_TRUE(importPhonebook(content));
    ASSERT_EQ(phonebook.rowCount(), 1000u);
    EXPECT_EQ(phonebook.rowCells(999), (std::vector<std::string>{"1000", "N1000", "1000"}));
}

TEST_F(ListImport, FilesInOtherCodePagesImportWithReadableNames) {
    // As spreadsheets write Unicode text: UTF-16LE after its byte-order mark.
    const auto utf16 = [](std::string_view utf8) {
        std::string bytes = "\xFF\xFE";
        for (size_t pos = 0; pos < utf8.size();) {
            const char32_t c = nextCodePoint(utf8, pos);
            bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        }
        return bytes;
    };
    const auto file = [&](const std::string &name) {
        return header + "\"1\",\"" + name + "\",\"1\",\r\n";
    };
    // "Müller" in Windows-1252, "张伟" in GBK, "Иван Петров" in Windows-1251.
    const std::pair<std::string, std::string> files[] = {
        {file("M\xFCller"), "Müller"},
        {file("\xD5\xC5\xCE\xB0"), "张伟"},
        {file("\xC8\xE2\xE0\xED \xCF\xE5\xF2\xF0\xEE\xE2"), "Иван Петров"},
        {utf16(file("Ζωή")), "Ζωή"}};
    for (const auto &[content, name] : files) {
        ASSERT_TRUE(importPhonebook(content)) << name;
        EXPECT_EQ(phonebook.cell(phonebook.rowCount() - 1, 1), name);
    }
    // A code page named is taken as said: the bytes of "张伟" in GBK are "ХЕО°" in Windows-1251.
    test::writeFile(dir / "in.fpb", files[1].first);
    ASSERT_TRUE(ImportListFile((dir / "in.fpb").string(), phonebook, card, report, prompts, texts,
                               findCodePage("windows-1251")));
    EXPECT_EQ(phonebook.cell(phonebook.rowCount() - 1, 1), "ХЕО°");
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
