#include <gtest/gtest.h>

#include <iconv.h>

#include "base/LegacyText.h"
#include "base/Utf8.h"

namespace velnor {
namespace {

// The bytes another program would have written: UTF-8 text encoded by the C library.
std::string encodeAs(const char *charset, const std::string &utf8) {
    iconv_t cd = iconv_open(charset, "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(utf8.size() * 4 + 4, '\0');
    char *in = const_cast<char *>(utf8.data());
    size_t inLeft = utf8.size();
    char *to = out.data();
    size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &to, &outLeft), static_cast<size_t>(-1)) << utf8;
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string listFile(const std::vector<std::string> &names) {
    std::string text = "No.,Name,Number,\r\n";
    int n = 0;
    for (const std::string &name : names) {
        ++n;
        text += "\"" + std::to_string(n) + "\",\"" + name + "\",\"+4917012345" + std::to_string(n) +
                "\",\r\n";
    }
    return text;
}

struct Case {
    const char *what;
    const char *codePage; // the code page written in and to be read in
    std::vector<std::string> names;
    bool few = false; // too few letters to tell the code page: right, or said to be a guess
    const char *mark = "";
};

class Legacy : public ::testing::TestWithParam<Case> {};

TEST_P(Legacy, IsReadInTheCodePageItWasWrittenIn) {
    const Case &c = GetParam();
    const std::string text = listFile(c.names);
    const CodePage *page = findCodePage(c.codePage);
    ASSERT_NE(page, nullptr);
    const std::string bytes =
        c.mark + (page->units == CodeUnits::Utf8 ? text : encodeAs(page->converter, text));
    std::string converted;
    const TextReading reading = readText(bytes, converted);
    if (c.few) {
        EXPECT_TRUE(reading.text == text || reading.guessed) << reading.codePage->name;
    } else {
        EXPECT_EQ(reading.text, text);
        EXPECT_EQ(reading.codePage, page) << reading.codePage->name;
    }
    // Named, every code page reads as written.
    EXPECT_EQ(readText(bytes, converted, page).text, text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Legacy,
    ::testing::Values(
        Case{"ascii", "UTF-8", {"Anna"}}, Case{"utf8", "UTF-8", {"张伟", "Müller", "Иван"}},
        Case{"utf8Mark", "UTF-8", {"Müller"}, false, "\xEF\xBB\xBF"},
        Case{"utf16le", "UTF-16LE", {"Иван Петров", "张伟"}, false, "\xFF\xFE"},
        Case{"utf16be", "UTF-16BE", {"Γιώργος", "Müller"}, false, "\xFE\xFF"},
        Case{"gbk", "GB18030", {"张伟", "王芳", "李娜", "刘洋"}},
        Case{"gbkWithLatin", "GB18030", {"张伟 Office", "Bob"}},
        Case{"russian", "windows-1251", {"Иван Петров"}},
        Case{"russianUkrainian",
             "windows-1251",
             {"Иван Петров", "Мария Сидорова", "Сёма", "Віктор Коваль"}},
        Case{"polish",
             "windows-1250",
             {"Paweł Wąsik", "Łukasz Żółć", "Małgorzata Wiśniewska",
              "Grzegorz Brzęczyszczykiewicz"}},
        Case{"czech",
             "windows-1250",
             {"Jiří Dvořák", "Čeněk Růžička", "Zdeněk Šťastný", "Věra Čermáková", "Přemysl Kříž"}},
        Case{"greek", "windows-1253", {"Γιώργος Παπαδόπουλος", "Νίκος", "Ελένη Οικονόμου"}},
        Case{"japanese", "Shift_JIS", {"山田太郎", "鈴木花子", "佐藤 健", "たなか ゆうこ"}},
        Case{"japaneseKanji", "Shift_JIS", {"山田太郎"}},
        Case{"taiwanese", "Big5", {"陳大文", "王小明", "林美玲", "張志強"}},
        Case{"korean", "EUC-KR", {"김철수", "이영희", "박민수", "최지우"}},
        Case{"german", "windows-1252", {"Jürgen Weiß", "Müller", "José"}},
        // Two accented letters in a row form a valid GBK pair, but a rare one.
        Case{"portuguese", "windows-1252", {"Conceição", "Simões"}},
        Case{"euroAndQuotes", "windows-1252", {"5€ „Tür“"}},
        Case{"french", "windows-1252", {"Hélène Çava", "Zoë", "François L’Écuyer"}},
        Case{"onePolishName", "windows-1250", {"Paweł Wąsik"}, true},
        Case{"oneKoreanName", "EUC-KR", {"김철수"}, true},
        Case{"oneRussianWord", "windows-1251", {"Иван"}, true},
        Case{"hungarian", "windows-1250", {"Kovács Zoltán", "Szőke Anikó"}, true}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(LegacyText, ValidUtf8PartsSurviveAStrayLegacyByte) {
    // A UTF-8 file with one name pasted from an old Windows file.
    const std::string bytes = "\"Jürgen\",\"M\xFCller\",";
    std::string converted;
    const TextReading reading = readText(bytes, converted);
    EXPECT_EQ(reading.text, "\"Jürgen\",\"Müller\",");
    EXPECT_EQ(reading.codePage, findCodePage("windows-1252"));
}

TEST(LegacyText, EveryByteGivesValidUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    for (const CodePage &page : codePages()) {
        const std::string text = convertToUtf8(all, page);
        EXPECT_TRUE(isValidUtf8(text)) << page.name;
        if (page.units == CodeUnits::SingleByte || page.units == CodeUnits::Utf8) {
            EXPECT_EQ(text.substr(0, 0x7F), all.substr(0, 0x7F)) << page.name; // ASCII as it is
        }
    }
    // The bytes Windows-1252 leaves unassigned become the control characters of that value.
    EXPECT_EQ(convertToUtf8("\x81\x8D", *findCodePage("cp1252")), "\xC2\x81\xC2\x8D");
    // A lead byte at the very end, half a UTF-16 unit: neither can be read.
    EXPECT_EQ(convertToUtf8("a\xD5", *findCodePage("GBK")), "a\xEF\xBF\xBD");
    EXPECT_EQ(convertToUtf8(std::string("a\0b", 3), *findCodePage("utf-16le")), "a\xEF\xBF\xBD");
    // A text ends at its first zero character; in UTF-16 that is a zero unit.
    std::string converted;
    EXPECT_EQ(readText(std::string("\xFF\xFE"
                                   "a\0\0\0b\0",
                                   8),
                       converted)
                  .text,
              "a");
    EXPECT_EQ(readText(std::string("a\0b", 3), converted).text, "a");
}

TEST(CodePages, NamesAndAliasesAreFoundWhateverTheirSpelling) {
    EXPECT_EQ(findCodePage("CP1251"), findCodePage("windows-1251"));
    EXPECT_EQ(findCodePage("WINDOWS_1251"), findCodePage("windows-1251"));
    EXPECT_EQ(findCodePage("sjis")->name, "Shift_JIS");
    EXPECT_EQ(findCodePage("utf8"), &utf8CodePage());
    EXPECT_EQ(findCodePage("klingon"), nullptr);
    EXPECT_EQ(findCodePage(""), nullptr);
}

} // namespace
} // namespace velnor
