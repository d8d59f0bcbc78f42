#include <gtest/gtest.h>

#include "files/TextExport.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

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
}

TEST(TextExport, SavingReplacesSilentlyAndReportsWhatCannotBeCreated) {
    test::TempDir dir;
    test::EnglishTexts texts;
    test::ScriptedPrompts prompts;
    const auto path = dir / "sms.txt";
    prompts.files = {path.string(), path.string(), (dir / "no" / "sms.txt").string()};
    ASSERT_TRUE(saveMessageText(prompts, texts, received("first")));
    ASSERT_TRUE(saveMessageText(prompts, texts, received("second")));
    EXPECT_FALSE(saveMessageText(prompts, texts, received("third")));
    EXPECT_FALSE(saveMessageText(prompts, texts, received("cancelled")));
    EXPECT_EQ(test::readFile(path), messageTextFileText(received("second")));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 0, 0, 8055, 0}));
    EXPECT_EQ(prompts.asked[0].text, "txt");
}

} // namespace
} // namespace velnor
