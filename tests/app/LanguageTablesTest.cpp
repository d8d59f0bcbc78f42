#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "AppTestSupport.h"
#include "app/HelpFiles.h"
#include "app/LanguagePack.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;

struct Table {
    std::string name;
    std::string id;
    std::map<int, std::string> strings;
};

Table readTable(const std::string &code) {
    std::ifstream in(fs::path(VELNOR_SOURCE_DIR) / "lang" / (code + ".tsv"));
    Table table;
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, tab);
        const std::string text = line.substr(tab + 1);
        if (key == "@name") {
            table.name = text;
        } else if (key == "@id") {
            table.id = text;
        } else {
            table.strings[std::stoi(key)] = text;
        }
    }
    return table;
}

// Which conversion each argument gets: argument number to conversion letter ("d" for %i too).
std::map<int, char> conversions(const std::string &format) {
    std::map<int, char> result;
    int next = 1;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (++i < format.size() && format[i] == '%') {
            continue;
        }
        int position = 0;
        size_t probe = i;
        while (probe < format.size() && std::isdigit(static_cast<unsigned char>(format[probe]))) {
            position = position * 10 + (format[probe++] - '0');
        }
        if (probe < format.size() && format[probe] == '$' && probe > i) {
            i = probe + 1;
        } else {
            position = next++;
        }
        while (i < format.size() &&
               std::string_view("-+ #0123456789.hlL").find(format[i]) != std::string_view::npos) {
            ++i;
        }
        const char conversion = i < format.size() ? format[i] : '?';
        result[position] = conversion == 'i' ? 'd' : conversion;
    }
    return result;
}

struct Language {
    const char *code;
    const char *name;
    const char *id;
    int numericId;
};

class LanguageTables : public ::testing::TestWithParam<Language> {};

TEST_P(LanguageTables, HaveEveryEnglishStringWithTheSameConversions) {
    const Table english = readTable("en");
    const Table table = readTable(GetParam().code);
    ASSERT_FALSE(english.strings.empty());
    EXPECT_EQ(table.name, GetParam().name);
    EXPECT_EQ(table.id, GetParam().id);
    for (const auto &[id, text] : english.strings) {
        const auto found = table.strings.find(id);
        if (found == table.strings.end()) {
            ADD_FAILURE() << GetParam().code << ".tsv lacks string " << id;
            continue;
        }
        EXPECT_FALSE(found->second.empty()) << id;
        EXPECT_EQ(conversions(found->second), conversions(text))
            << GetParam().code << ".tsv string " << id << ": " << found->second;
    }
    for (const auto &[id, text] : table.strings) {
        EXPECT_TRUE(english.strings.count(id)) << GetParam().code << ".tsv has extra " << id;
    }
}

TEST_P(LanguageTables, BuiltPackCarriesTheTable) {
    const auto pack = LanguagePack::open(test::builtPack(GetParam().code));
    ASSERT_TRUE(pack);
    EXPECT_EQ(pack->name(), GetParam().name);
    EXPECT_EQ(pack->id(), GetParam().numericId);
    const Table table = readTable(GetParam().code);
    for (const auto &[id, text] : table.strings) {
        ASSERT_NE(pack->text(id), nullptr) << id;
        if (text.find('\\') == std::string::npos) {
            EXPECT_EQ(pack->text(id), text) << id;
        }
    }
}

TEST_P(LanguageTables, HaveAHelpPageOfTheirOwn) {
    const fs::path page = helpFilePath(fs::path(VELNOR_SOURCE_DIR) / "help",
                                       static_cast<uint16_t>(GetParam().numericId));
    EXPECT_TRUE(fs::exists(page)) << page;
    EXPECT_NE(page.filename(), GetParam().numericId == 0x409 ? "" : "Velnor_En.html");
}

INSTANTIATE_TEST_SUITE_P(
    Packs, LanguageTables,
    ::testing::Values(Language{"en", "English", "0x409", 0x409},
                      Language{"de", "Deutsch", "0x407", 0x407},
                      Language{"fr",
                               "Fran\xC3\xA7"
                               "ais",
                               "0x40C", 0x40C},
                      Language{"zh", "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87", "0x804",
                               0x804}),
    [](const auto &info) { return std::string(info.param.code); });

TEST(LanguageTables, ConversionSignatureSeesOrderAndType) {
    EXPECT_EQ(conversions("%2$d of %1$d"), (std::map<int, char>{{1, 'd'}, {2, 'd'}}));
    EXPECT_EQ(conversions("%02X, %04X %%"), (std::map<int, char>{{1, 'X'}, {2, 'X'}}));
    EXPECT_NE(conversions("%s"), conversions("%d"));
    EXPECT_NE(conversions("%1$d %2$s"), conversions("%1$s %2$d"));
}

} // namespace
} // namespace velnor
