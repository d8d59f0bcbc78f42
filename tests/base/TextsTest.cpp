#include <gtest/gtest.h>

#include <map>

#include "base/StatusPanes.h"
#include "base/Texts.h"

namespace velnor {
namespace {

std::string format(const char *pattern, std::vector<FormatArg> args) {
    return formatChecked(pattern, args);
}

TEST(FormatChecked, FormatsLikePrintfWhenTheFormatIsRight) {
    EXPECT_EQ(format("%d of %d", {3LL, 10LL}), "3 of 10");
    EXPECT_EQ(format("%02X, %04X", {0xB0LL, 0x208LL}), "B0, 0208");
    EXPECT_EQ(format("Card %s", {std::string("8901")}), "Card 8901");
    EXPECT_EQ(format("%5d|%-4s|%.2s", {42LL, std::string("ab"), std::string("xyz")}),
              "   42|ab  |xy");
    EXPECT_EQ(format("100%%", {}), "100%");
}

TEST(FormatChecked, PositionalArgumentsReorder) {
    EXPECT_EQ(format("record %2$d of %1$d", {10LL, 3LL}), "record 3 of 10");
    EXPECT_EQ(format("%1$d and again %1$d", {7LL}), "7 and again 7");
}

TEST(FormatChecked, AWrongFormatNeverCrashes) {
    // More conversions than arguments, a text for a number, a number for a text, conversions
    // that take pointers or write memory, a huge width: all give plain output.
    EXPECT_EQ(format("%d %d %d", {1LL}), "1  ");
    EXPECT_EQ(format("%d", {std::string("abc")}), "abc");
    EXPECT_EQ(format("%s", {12LL}), "12");
    EXPECT_EQ(format("%n%p%f", {1LL}), "%n%p%f");
    EXPECT_EQ(format("%99999999d", {1LL}).size(), 512u);
    EXPECT_EQ(format("trailing %", {}), "trailing %");
    EXPECT_EQ(format("%.1s", {std::string("\xE7\x8E\x8B\xE8\x8A\xB3")}), "\xE7\x8E\x8B");
}

class MapTexts : public Texts {
public:
    std::map<int, std::string> strings;
    const char *find(int id) const override {
        const auto found = strings.find(id);
        return found == strings.end() ? nullptr : found->second.c_str();
    }
};

class RecordingPanes : public StatusPanes {
public:
    std::string panes[3];
    void showPane(int pane, const std::string &text) override { panes[pane] = text; }
};

TEST(StatusLine, ShowsAgainInAnotherLanguage) {
    MapTexts texts;
    texts.strings = {{8028, "Reader %02X %04X"}, {8029, "Card %s"}, {8009, "%2$d/%1$d"}};
    RecordingPanes panes;
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
    status.clear(1);
    EXPECT_EQ(panes.panes[1], "");
    EXPECT_EQ(status.memory().card.id, 0);
}

} // namespace
} // namespace velnor
