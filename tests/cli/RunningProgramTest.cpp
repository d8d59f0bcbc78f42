#include <nlohmann/json.hpp>

#include <csignal>

#include "CliFixture.h"
#include "support/ChildProcess.h"

namespace velnor {
namespace {

// velnor-cli itself in a child process, linked into the test's folder so that its data folder
// (beside it) and its logs (the folder it runs in) are the test's. The demo card answers each
// command 20 ms late and has 40 phonebook records, so that a command can be caught half way: the
// verbose trace says which record it has reached.
class CliProgram : public test::CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        std::filesystem::create_hard_link(VELNOR_CLI, dir / "velnor-cli");
        nlohmann::json profile = nlohmann::json::parse(test::readFile(card));
        profile["quirks"] = {{"answerDelayMs", 20}};
        for (nlohmann::json &file : profile["files"]) {
            if (file["path"] == "3F00/7F10/6F3A") {
                file["recordCount"] = 40;
            }
        }
        test::writeFile(card, profile.dump());
        test::writeFile(dir / "one.fpb", oneRow);
    }
    std::unique_ptr<test::ChildProcess> start(std::vector<std::string> args) {
        args.insert(args.begin(), {(dir / "velnor-cli").string(), "-v", "--reader", reader});
        return std::make_unique<test::ChildProcess>(
            args, dir / ("run" + std::to_string(++runs_) + ".log"), dir.path());
    }

private:
    int runs_ = 0;
};

// stopped-commands.json: Ctrl-C or SIGTERM cancels a command at the next record: it says so and
// fails, and the file it was to write keeps its old content; so does a kill. The backup a read
// leaves in the data folder is taken all the same, as after a cancel in the window.
TEST_F(CliProgram, StoppedCommandLeavesTheFileItWasToWrite) {
    const std::map<std::string, int> signals = {
        {"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGKILL", SIGKILL}};
    for (const auto &c : test::loadVectors("cli/stopped-commands.json")) {
        SCOPED_TRACE(c.dump());
        const int sent = signals.at(c["signal"]);
        test::writeFile(dir / "out.fpb", "old");
        std::filesystem::remove(dir / "Phone.fph");
        const auto program = start(c["command"]);
        ASSERT_TRUE(program->waitForOutput(c["reached"])) << program->output();
        ::kill(program->pid(), sent);
        EXPECT_EQ(program->finish(), c["status"].get<int>());
        EXPECT_EQ(test::readFile(dir / "out.fpb"), "old");
        const std::string said = program->output();
        if (sent != SIGKILL) {
            EXPECT_NE(said.find("cancelled"), std::string::npos) << said;
            EXPECT_EQ(said.find("Wrote "), std::string::npos) << said;
            EXPECT_TRUE(std::filesystem::exists(dir / "Phone.fph"));
        }
    }
}

// While one program has the card of a profile (writing it, or serving it to pcscd), another is
// refused with the reason and status 3: it never reads the card and saves its copy over the
// first one's changes.
TEST_F(CliProgram, CardProfileIsOneProgramsAtATime) {
    test::writeFile(dir / "m.fsm", oneMessage);
    const struct {
        std::vector<std::string> command;
        std::string reached;
        std::string phonebookAfter;
    } holders[] = {
        {{"--yes", "write", "phonebook", "-i", "one.fpb"}, "A0 B2 01 04", oneRow},
        {{"card", "serve", card.string(), "--host", "127.0.0.1", "--port", "1"},
         "Waiting for vpcd",
         ""},
    };
    for (const auto &holder : holders) {
        SCOPED_TRACE(holder.command[1]);
        const std::string before = readPhonebook();
        SimulatedCards::instance().remove(reader);
        const auto program = start(holder.command);
        ASSERT_TRUE(program->waitForOutput(holder.reached)) << program->output();
        EXPECT_EQ(onCard({"--yes", "write", "messages", "-i", (dir / "m.fsm").string()}),
                  cli::NoCard);
        EXPECT_NE(err.str().find("is in use by another program"), std::string::npos) << err.str();
        if (holder.command[0] == "card") {
            ::kill(program->pid(), SIGTERM); // a serve goes on until it is stopped
        }
        EXPECT_EQ(program->finish(), cli::Done) << program->output();
        EXPECT_EQ(readPhonebook(), holder.phonebookAfter.empty() ? before : holder.phonebookAfter);
        SimulatedCards::instance().remove(reader);
    }
}

} // namespace
} // namespace velnor
