#include "WindowFixture.h"
#include "card/DemoProfile.h"

namespace velnor::test {
namespace {

class PinCommandsTest : public WindowFixture {
protected:
    ChvState::Settings chv() {
        return host->withCard([](VirtualSim &sim) { return sim.chv1().settings(); });
    }
};

TEST_F(PinCommandsTest, EachCommandAsksItsDialogAndTellsWhatTheCardDid) {
    openWindow();
    struct Step {
        int command;
        CodeAnswer typed;
        CodeDialog dialog;
        int told;
        bool enabled;
        std::string code;
    };
    const Step steps[] = {
        {command::PinSwitch, {{"1234"}, false}, CodeDialog::Switch, 8042, true, "1234"},
        {command::PinChange,
         {{"1234", "5678", "5678"}, false},
         CodeDialog::Change,
         8044,
         true,
         "5678"},
        {command::PinUnblock,
         {{"12345678", "2468", "2468"}, false},
         CodeDialog::Unblock,
         8079,
         true,
         "2468"},
        {command::PinSwitch, {{"2468"}, true}, CodeDialog::Switch, 8043, false, ""},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.told);
        prompts.codes = {step.typed};
        const int pauses = worker.pauses;
        window().OnCommand(step.command);
        ASSERT_FALSE(prompts.codeRequests.empty());
        EXPECT_EQ(prompts.codeRequests.back().dialog, step.dialog);
        EXPECT_EQ(prompts.asked.back().id, step.told);
        EXPECT_EQ(prompts.asked.back().messageKind, MessageKind::Information);
        EXPECT_FALSE(session().reader.chv1Pending || worker.shared.chv1Pending);
        EXPECT_EQ(chv().enabled, step.enabled);
        EXPECT_EQ(session().card.chv1Code, step.code);
        EXPECT_EQ(worker.pauses - pauses, 1) << "every command holds the watcher once";
        EXPECT_EQ(worker.depth, 0);
    }
    EXPECT_EQ(chv().code, chvCodeFromText("2468"));

    const size_t asked = prompts.asked.size();
    for (const int command : {command::PinChange, command::PinUnblock, command::PinSwitch}) {
        window().OnCommand(command);
    }
    EXPECT_EQ(prompts.asked.size(), asked + 3) << "a cancelled dialog is all there is";
    EXPECT_FALSE(chv().enabled);
}

} // namespace
} // namespace velnor::test
