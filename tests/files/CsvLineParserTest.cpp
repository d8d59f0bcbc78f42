#include <gtest/gtest.h>

#include <random>

#include "base/Utf8.h"
#include "files/CsvLineParser.h"

namespace velnor {
namespace {

std::vector<std::string> fieldsOf(std::string_view text) {
    const CCSVLineParser parser(text);
    std::vector<std::string> fields;
    for (size_t i = 0; i < parser.FieldCount(); ++i) {
        fields.push_back(parser.GetField(static_cast<std::ptrdiff_t>(i)));
    }
    return fields;
}

// The parsing steps read word for word, copying the rest of the text at every step: slow, but
// plainly right, so the parser is compared with it.
std::vector<std::string> literalFields(const std::string &text) {
    std::vector<std::string> fields;
    if (text.empty()) {
        return fields;
    }
    std::string rest = text;
    for (;;) {
        const bool quoted = !rest.empty() && rest[0] == '"';
        if (quoted) {
            rest = rest.substr(1);
        }
        const std::string delimiter = quoted ? "\"," : ",";
        std::string prefix;
        while (!rest.empty()) {
            const size_t t = rest.find("\"\"\"");
            const size_t d = rest.find(delimiter);
            if (t == std::string::npos || (d != std::string::npos && t >= d)) {
                break;
            }
            prefix += rest.substr(0, t) + "\"";
            rest = rest.substr(t + 3);
        }
        const size_t d = rest.find(delimiter);
        if (d != std::string::npos) {
            fields.push_back(prefix + rest.substr(0, d));
            rest = rest.substr(d + delimiter.size());
            continue;
        }
        if (quoted) {
            // The closing mark is one whole character, found by walking the characters.
            std::vector<size_t> starts;
            for (size_t pos = 0; pos < rest.size();) {
                starts.push_back(pos);
                nextCodePoint(rest, pos);
            }
            if (starts.size() >= 2) {
                rest.resize(starts.back());
            }
        }
        fields.push_back(prefix + rest);
        return fields;
    }
}

struct Case {
    const char *what;
    std::string text;
    std::vector<std::string> fields;
};

class CsvLine : public ::testing::TestWithParam<Case> {};

TEST_P(CsvLine, SplitsAsTheRulesSay) {
    EXPECT_EQ(fieldsOf(GetParam().text), GetParam().fields);
    EXPECT_EQ(literalFields(GetParam().text), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CsvLine,
    ::testing::Values(
        Case{"empty", "", {}}, Case{"one", "a", {"a"}}, Case{"trailingComma", "a,", {"a", ""}},
        Case{"plain", "a,b", {"a", "b"}}, Case{"quoted", "\"a\",\"b\",", {"a", "b", ""}},
        Case{"commaInsideQuotes", "\"a,b\",c", {"a,b", "c"}},
        // The last quoted field loses its last character, whatever it is.
        Case{"lastQuoted", "\"ab\"", {"ab"}}, Case{"lastQuotedNoClose", "\"abc", {"ab"}},
        // Two quotation marks alone at the end read back as one.
        Case{"twoQuotesAtTheEnd", "x,\"\"", {"x", "\""}},
        Case{"oneQuoteAtTheEnd", "x,\"", {"x", ""}},
        // The closing mark taken off is a whole character, never a part of one.
        Case{"lastCharacterIsWide", "x,\"\xE4\xBD\xA0\xE5\xA5\xBD", {"x", "\xE4\xBD\xA0"}},
        Case{"oneWideCharacterStays", "x,\"\xE4\xBD\xA0", {"x", "\xE4\xBD\xA0"}},
        Case{"escapedQuotes", "\"say \"\"\"hi\"\"\" now\",", {"say \"hi\" now", ""}},
        // An escaped quote that starts before the delimiter wins, even where they overlap.
        Case{"escapeBeforeDelimiter", "\"a\"\"\",b", {"a\","}},
        Case{"singleQuoteStays", "\"it\"s\",x", {"it\"s", "x"}},
        Case{"unquotedKeepsQuotes", "a\"b,c\"", {"a\"b", "c\""}},
        // A quotation mark and a comma inside a cell end it: the rest shifts by one field.
        Case{"quoteCommaShifts", "\"Say \"hi\", Bob\",", {"Say \"hi", " Bob\"", ""}},
        // Line ends are ordinary characters: a list file line's first field carries them.
        Case{"lineEnds",
             "No.,Name,\r\n\"1\",\"Anna\",\r\n",
             {"No.", "Name", "\r\n\"1\"", "Anna", "\r\n"}},
        Case{"emptyFields", ",,", {"", "", ""}}, Case{"quotedEmpty", "\"\",", {"", ""}}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(CsvLineParser, IndexOutsideTheFieldsThrowsOutOfRange) {
    const CCSVLineParser parser("a,b");
    ASSERT_EQ(parser.FieldCount(), 2u);
    for (const std::ptrdiff_t index : {std::ptrdiff_t{-1}, std::ptrdiff_t{2}}) {
        try {
            parser.GetField(index);
            ADD_FAILURE() << "no exception for " << index;
        } catch (const CCSVLineParser::Range &range) {
            EXPECT_STREQ(range.what(), "Out of range");
        }
    }
    EXPECT_THROW(CCSVLineParser("").GetField(0), CCSVLineParser::Range);
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
} // namespace velnor
