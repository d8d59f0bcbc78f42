#include <gtest/gtest.h>

#include <iconv.h>

#include "base/Utf8.h"
#include "base/LegacyText.h"

namespace velnor {
namespace {

// The bytes an older program would have written: UTF-8 text encoded by the C library.
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

std::string listFile(const std::vector<std::pair<std::string, std::string>> &rows) {
    std::string text = "No.,Name,Number,\r\n";
    int n = 0;
    for (const auto &[name, number] : rows) {
        text += "\"" + std::to_string(++n) + "\",\"" + name + "\",\"" + number + "\",\r\n";
    }
    return text;
}

struct Case {
    const char *what;
    const char *charset; // nullptr: the text as UTF-8
    std::string text;
    TextEncoding expected;
};

class Legacy : public ::testing::TestWithParam<Case> {};

TEST_P(Legacy, IsReadAsTheCodePageItWasWrittenIn) {
    const Case &c = GetParam();
    const std::string bytes = c.charset ? encodeAs(c.charset, c.text) : c.text;
    EXPECT_EQ(detectTextEncoding(bytes), c.expected);
    EXPECT_EQ(textAsUtf8(bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Legacy,
    ::testing::Values(
        Case{"ascii", nullptr, listFile({{"Anna", "123"}}), TextEncoding::Utf8},
        Case{"utf8", nullptr, listFile({{"张伟", "1"}, {"Müller", "2"}}), TextEncoding::Utf8},
        Case{"gbkNames", "GBK",
             listFile({{"张伟", "13912345678"}, {"王芳", "1"}, {"李娜", "2"}, {"刘洋", "3"}}),
             TextEncoding::Gbk},
        Case{"gbkWithLatin", "GBK", listFile({{"张伟 Office", "1"}, {"Bob", "2"}}),
             TextEncoding::Gbk},
        Case{"german", "WINDOWS-1252",
             listFile({{"Jürgen Weiß", "1"}, {"Müller", "2"}, {"José", "3"}}),
             TextEncoding::Windows1252},
        // Two accented letters in a row form a valid GBK pair, but a rare one.
        Case{"portuguese", "WINDOWS-1252", listFile({{"Conceição", "1"}, {"Simões", "2"}}),
             TextEncoding::Windows1252},
        Case{"euroAndQuotes", "WINDOWS-1252", listFile({{"5€ „Tür“", "1"}}),
             TextEncoding::Windows1252},
        Case{"french", "WINDOWS-1252", listFile({{"Hélène Çava", "1"}, {"Zoë", "2"}}),
             TextEncoding::Windows1252}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(LegacyText, ValidUtf8PartsSurviveAStrayLegacyByte) {
    // A UTF-8 file with one name pasted from an old Windows file.
    const std::string bytes = "\"Jürgen\",\"M\xFCller\",";
    EXPECT_EQ(detectTextEncoding(bytes), TextEncoding::Windows1252);
    EXPECT_EQ(textAsUtf8(bytes), "\"Jürgen\",\"Müller\",");
}

TEST(LegacyText, EveryByteGivesValidUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    for (const TextEncoding encoding : {TextEncoding::Gbk, TextEncoding::Windows1252}) {
        const std::string text = convertToUtf8(all, encoding);
        EXPECT_TRUE(isValidUtf8(text));
        EXPECT_EQ(text.substr(0, 0x7F), all.substr(0, 0x7F)); // ASCII as it is
    }
    // The bytes Windows-1252 leaves unassigned become the control characters of that value.
    EXPECT_EQ(convertToUtf8("\x81\x8D", TextEncoding::Windows1252), "\xC2\x81\xC2\x8D");
    // A GBK lead byte at the very end cannot be read.
    EXPECT_EQ(convertToUtf8("a\xD5", TextEncoding::Gbk), "a\xEF\xBF\xBD");
}

} // namespace
} // namespace velnor
