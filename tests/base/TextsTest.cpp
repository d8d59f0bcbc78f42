#include <gtest/gtest.h>

#include "base/Texts.h"
#include "support/EnglishTexts.h"
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

// A string the pack lacks shows as nothing, whatever the pane held.
TEST(StatusLine, StringThePackLacksShowsNothing) {
    const test::EnglishTexts texts;
    test::RecordingPanes panes;
    panes.panes[2] = "stale";
    StatusLine(panes, texts).showProgress(1, 250, 3);
    EXPECT_EQ(panes.panes[2], "");
    EXPECT_EQ(texts.get(1), "");
}

} // namespace
} // namespace velnor
