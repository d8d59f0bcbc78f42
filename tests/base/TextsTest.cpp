#include <gtest/gtest.h>

#include <map>

#include "base/Texts.h"
#include "support/Fakes.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

TEST(FormatChecked, FormatsLikePrintfAndNeverCrashesOnAWrongFormat) {
    for (const test::json &v : test::loadVectors("base/formats.json")) {
        SCOPED_TRACE(v.dump());
        std::vector<FormatArg> args;
        for (const test::json &arg : v.at("args")) {
            args.push_back(arg.is_string() ? FormatArg(arg.get<std::string>())
                                           : FormatArg(arg.get<long long>()));
        }
        const std::string text = formatChecked(v.at("format").get<std::string>(), args);
        if (v.contains("length")) {
            EXPECT_EQ(text.size(), v["length"].get<size_t>());
        } else {
            EXPECT_EQ(text, v.at("text"));
        }
    }
}

class MapTexts : public Texts {
public:
    std::map<int, std::string> strings;
    const char *find(int id) const override {
        const auto found = strings.find(id);
        return found == strings.end() ? nullptr : found->second.c_str();
    }
};

TEST(StatusLine, ShowsAgainInAnotherLanguage) {
    MapTexts texts;
    texts.strings = {{8028, "Reader %02X %04X"}, {8029, "Card %s"}, {8009, "%2$d/%1$d"}};
    test::RecordingPanes panes;
    StatusLine status(panes, texts);
    status.showReader(8028, 0xB0, 0x0208);
    status.showCard(8029, "8901");
    status.showProgress(8009, 250, 3);
    EXPECT_EQ(panes.panes[0], "Reader B0 0208");
    EXPECT_EQ(panes.panes[1], "Card 8901");
    EXPECT_EQ(panes.panes[2], "3/250");

    texts.strings = {{8028, "Leser %02X"}, {8029, "Karte %s"}};
    status.refresh();
    EXPECT_EQ(panes.panes[0], "Leser B0");
    EXPECT_EQ(panes.panes[1], "Karte 8901");
    EXPECT_EQ(panes.panes[2], ""); // the new pack lacks the string
    EXPECT_EQ(texts.get(8009), "");
    status.clear(1);
    EXPECT_EQ(panes.panes[1], "");
    EXPECT_EQ(status.memory().card.id, 0);
}

} // namespace
} // namespace velnor
