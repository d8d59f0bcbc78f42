#include <gtest/gtest.h>

#include "CodecTestSupport.h"
#include "base/Utf8.h"
#include "codec/LegacyText.h"

namespace velnor {
namespace {

// The list file of the names, as the vectors hold it in each code page.
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
        const Bytes file = test::bytesOf(v.at("file"));
        const std::string bytes(file.begin(), file.end());
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
