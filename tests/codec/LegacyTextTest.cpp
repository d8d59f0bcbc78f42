#include <gtest/gtest.h>

#include <iconv.h>

#include "CodecTestSupport.h"
#include "base/Utf8.h"
#include "codec/LegacyText.h"

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

std::string listFile(const test::json &names) {
    std::string text = "No.,Name,Number,\r\n";
    int n = 0;
    for (const test::json &name : names) {
        ++n;
        text += "\"" + std::to_string(n) + "\",\"" + name.get<std::string>() + "\",\"+4917012345" +
                std::to_string(n) + "\",\r\n";
    }
    return text;
}

TEST(LegacyText, FilesAreReadInTheCodePageTheyWereWrittenIn) {
    for (const test::json &v : test::loadVectors("codec/legacy-texts.json")) {
        SCOPED_TRACE(v.dump());
        const std::string text = listFile(v.at("names"));
        const CodePage *page = findCodePage(v.at("codePage").get<std::string>());
        ASSERT_NE(page, nullptr);
        const std::string marked = (v.value("mark", false) ? "\uFEFF" : "") + text;
        const std::string bytes =
            page->units == CodeUnits::Utf8 ? marked : encodeAs(page->converter, marked);
        std::string converted;
        const TextReading reading = readText(bytes, converted);
        if (v.value("few", false)) {
            EXPECT_TRUE(reading.text == text || reading.guessed) << reading.codePage->name;
        } else {
            EXPECT_EQ(reading.text, text);
            EXPECT_EQ(reading.codePage, page) << reading.codePage->name;
        }
        // Named, every code page reads as written.
        EXPECT_EQ(readText(bytes, converted, page).text, text);
    }
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
}

TEST(LegacyText, BytesConvertInTheCodePageNamedOrTheOneFound) {
    for (const test::json &v : test::loadVectors("codec/conversions.json")) {
        SCOPED_TRACE(v.dump());
        const Bytes hex = test::bytesOf(v.at("hex"));
        const std::string bytes(hex.begin(), hex.end());
        const std::string text = v.at("text");
        if (v.contains("codePage")) {
            EXPECT_EQ(convertToUtf8(bytes, *findCodePage(v["codePage"].get<std::string>())), text);
            continue;
        }
        std::string converted;
        const TextReading reading = readText(bytes, converted);
        EXPECT_EQ(reading.text, text);
        if (v.contains("found")) {
            EXPECT_EQ(reading.codePage, findCodePage(v["found"].get<std::string>()));
        }
    }
    EXPECT_EQ(findCodePage("klingon"), nullptr);
    EXPECT_EQ(findCodePage(""), nullptr);
}

} // namespace
} // namespace velnor
