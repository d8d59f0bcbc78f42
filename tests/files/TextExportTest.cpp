#include <gtest/gtest.h>

#include "files/TextExport.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/UnwritablePlace.h"

namespace velnor {
namespace {

MessageTextFields received(std::string text) {
    return {false, "+4917123456", "", "2008-04-12 13:45:20", std::move(text)};
}

TEST(TextExport, ReceivedMessageHasFiveLinesSentFour) {
    EXPECT_EQ(messageTextFileText(received("hello")),
              "\r\n\r\nFrom: +4917123456\r\nTime: 2008-04-12 13:45:20\r\nContent: hello\r\n");
    const MessageTextFields sent{true, "ignored", "+4930", "ignored", "bye"};
    EXPECT_EQ(messageTextFileText(sent), "\r\n\r\nTo: +4930\r\nContent: bye\r\n");
    EXPECT_EQ(messageTextFileText({true, "", "", "", ""}), "\r\n\r\nTo: \r\nContent: \r\n");
}

TEST(TextExport, LongTextsAreWrittenWhole) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "\xE4\xBD\xA0"; // 600 bytes of "你"
    }
    const std::string file = messageTextFileText(received(text));
    EXPECT_EQ(file.substr(file.size() - text.size() - 2), text + "\r\n");
}

TEST(TextExport, SavingReplacesSilentlyAndReportsWhatCannotBeCreated) {
    test::TempDir dir;
    test::EnglishTexts texts;
    test::ScriptedPrompts prompts;
    const auto path = dir / "sms.txt";
    prompts.files = {path.string(), path.string(), (dir / "no" / "sms.txt").string()};
    ASSERT_TRUE(saveMessageText(prompts, texts, received("first")));
    ASSERT_TRUE(saveMessageText(prompts, texts, received("second")));
    EXPECT_EQ(test::readFile(path), messageTextFileText(received("second")));
    EXPECT_FALSE(saveMessageText(prompts, texts, received("third")));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 0, 0, 8055}));
    EXPECT_EQ(prompts.asked[0].text, "txt");
    EXPECT_EQ(messageTextChoice().filters, (std::vector<std::pair<std::string, std::string>>{
                                               {"Saved SMS Files (*.txt)", "*.txt"}}));
    for (const test::Unwritable place : test::kUnwritableFiles) {
        SCOPED_TRACE(test::describe(place));
        const int status = test::inUnwritablePlace(place, dir.path(), [&] {
            prompts.files = {path.string()};
            const bool saved = saveMessageText(prompts, texts, received("fifth"));
            return !saved && prompts.asked.back().id == 8055 ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(test::filesIn(dir.path()), 1u);
    }
    // A cancelled dialog writes nothing.
    EXPECT_FALSE(saveMessageText(prompts, texts, received("fourth")));
    EXPECT_EQ(test::readFile(path), messageTextFileText(received("second")));
}

} // namespace
} // namespace velnor
