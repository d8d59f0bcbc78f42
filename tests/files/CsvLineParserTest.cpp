#include <gtest/gtest.h>

#include <random>

#include "base/Utf8.h"
#include "codec/CodecTestSupport.h"
#include "files/CsvLineParser.h"

namespace velnor::test {
namespace {

std::vector<std::string> fieldsOf(std::string_view text) {
    CsvFieldCursor cursor(text);
    std::vector<std::string> fields;
    for (std::string field; cursor.next(field);) {
        fields.push_back(field);
    }
    return fields;
}

// The rules read word for word, copying the rest of the text at every step: slow, but plainly
// right, so the parser is compared with it.
std::vector<std::string> literalFields(std::string rest) {
    std::vector<std::string> fields;
    for (bool more = !rest.empty(); more;) {
        const bool quoted = rest.starts_with('"');
        rest.erase(0, quoted ? 1 : 0);
        const std::string delimiter = quoted ? "\"," : ",";
        std::string field;
        for (size_t t = rest.find("\"\"\""); t < rest.find(delimiter); t = rest.find("\"\"\"")) {
            field += rest.substr(0, t) + "\"";
            rest.erase(0, t + 3);
        }
        const size_t end = rest.find(delimiter);
        more = end != std::string::npos;
        size_t last = 0; // where the last of two or more characters starts: the closing mark
        for (size_t pos = 0; !more && quoted && pos < rest.size(); nextCodePoint(rest, pos)) {
            last = pos;
        }
        fields.push_back(field + rest.substr(0, more ? end : last > 0 ? last : rest.size()));
        rest.erase(0, more ? end + delimiter.size() : rest.size());
    }
    return fields;
}

TEST(CsvLineParser, SplitsAsTheRulesSay) {
    for (const json &v : loadVectors("files/csv-lines.json")) {
        SCOPED_TRACE(v.dump());
        EXPECT_EQ(fieldsOf(v.at("text").get<std::string>()), v.at("fields"));
        EXPECT_EQ(literalFields(v["text"]), v["fields"]);
    }
}

// Random texts made of the characters that matter, compared with the literal reading.
TEST(CsvLineParser, AgreesWithTheLiteralStepsOnRandomTexts) {
    std::mt19937 random(20240501);
    const std::vector<std::string> pieces = {"\"", "\"", "\"",           ",",   ",",
                                             "a",  "\r", "\xE4\xBD\xA0", "\xBD"};
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t n = random() % 24; n > 0; --n) {
            text += pieces[random() % pieces.size()];
        }
        ASSERT_EQ(fieldsOf(text), literalFields(text)) << "text: " << text;
    }
}

} // namespace
} // namespace velnor::test
