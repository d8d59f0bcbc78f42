#include "WindowFixture.h"
#include "support/TestVectors.h"

namespace velnor::test {

using PinCommandsTest = WindowFixture;

// pin-commands.json: each PIN command of the window asks its dialog and tells what the card did,
// holding the watcher once. What the dialogs do with the card is the card opening's to test.
TEST_F(PinCommandsTest, EachCommandAsksItsDialogAndTellsWhatTheCardDid) {
    openWindow();
    for (const json &v : loadVectors("ui/pin-commands.json")) {
        SCOPED_TRACE(v.dump());
        prompts.asked.clear();
        prompts.codes.clear();
        if (v.contains("typed")) {
            prompts.codes.push_back({v["typed"], v.value("switchOff", false)});
        }
        const int pauses = worker.pauses;
        window().OnCommand(v.at("command"));
        EXPECT_EQ(prompts.ids(), v.at("asked").get<std::vector<int>>());
        EXPECT_EQ(prompts.asked.back().messageKind, MessageKind::Information);
        EXPECT_FALSE(session().reader.chv1Pending || worker.shared.chv1Pending);
        EXPECT_EQ(card().chv1().settings().enabled, v.at("enabled"));
        EXPECT_EQ(session().card.chv1Code, v.at("code"));
        EXPECT_EQ(worker.pauses - pauses, 1) << "every command holds the watcher once";
        EXPECT_EQ(worker.depth, 0);
    }
}

} // namespace velnor::test
