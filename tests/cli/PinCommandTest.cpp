#include <algorithm>

#include "CliFixture.h"

namespace velnor {
namespace {

// The pin commands on a card with the PIN on (1234, unblock code 12345678); each code is
// offered to the card once, whatever the card answers.
class CliPin : public test::CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        ASSERT_EQ(pin({"enable", "1234"}), cli::Done) << err.str();
    }
    unsigned verifies() {
        return SimulatedCards::instance().find(reader)->withCard(
            [](VirtualSim &sim) { return sim.instructionCount(0x20); });
    }
};

// pin-commands.json: what each operation says; every code goes to the card once. A USIM-only
// demo card, which takes its PIN1 through class 00, says the same; info names each kind.
TEST_F(CliPin, EachOperationSaysWhatItDid) {
    for (const std::string kind : {"GSM SIM", "USIM only", "UICC with USIM"}) {
        SCOPED_TRACE(kind);
        if (kind != "GSM SIM") {
            SimulatedCards::instance().remove(reader);
            ASSERT_EQ(run({"card", "demo", kind == "USIM only" ? "--usim-only" : "--usim",
                           card.string()}),
                      cli::Done);
            ASSERT_EQ(pin({"enable", "1234"}), cli::Done) << err.str();
        }
        ASSERT_EQ(onCard({"info"}), cli::Done);
        EXPECT_NE(out.str().find("\nCard: " + kind + "\n"), std::string::npos) << out.str();
        for (const auto &c : test::loadVectors("cli/pin-commands.json")) {
            const int status = c.value("status", cli::Done);
            EXPECT_EQ(pin(c["words"]), status) << c["words"].dump();
            const test::json &said = c["said"];
            EXPECT_EQ((status == cli::Done ? out : err).str(),
                      (said.is_number() ? texts.get(said) : said.get<std::string>()) + "\n");
        }
        if (kind == "GSM SIM") {
            EXPECT_EQ(verifies(), 3u);
        }
    }
}

// exit-statuses.json: command lines refused before any card is asked, among them codes no card
// can hold and wrong pin words; the status and how the error begins. None reaches the card.
TEST_F(CliPin, BadCommandLinesGiveTheirStatusAndNeverReachTheCard) {
    for (const auto &c : test::loadVectors("cli/exit-statuses.json")) {
        EXPECT_EQ(onCard(c["args"]), c["status"].get<int>()) << c["args"].dump();
        const std::string said = c.contains("text") ? texts.get(c["text"]) : c.value("said", "");
        EXPECT_EQ(err.str().rfind(said, 0), 0u) << err.str();
    }
    EXPECT_EQ(verifies(), 0u);
    EXPECT_EQ(pin({"verify", "1234"}), cli::Done) << "the code is unchanged";
    EXPECT_EQ(withoutCard({"pin", "verify", "1234"}), cli::NoCard);
}

// pin-sources.json: the PIN from a file, standard input or the environment, so that no process
// list shows it.
TEST(CliPinSources, FileStandardInputOrEnvironment) {
    test::TempDir dir;
    const std::string file = (dir / "pin").string();
    test::writeFile(file, "4321\r\nnot this");
    std::string error;
    for (const auto &row : test::loadVectors("cli/pin-sources.json")) {
        std::vector<std::string> args = row["args"];
        std::replace(args.begin(), args.end(), std::string("FILE"), file);
        std::optional<cli::Options> options = cli::parseOptions(args, error);
        ASSERT_TRUE(options) << error;
        std::istringstream standardInput("2468\n");
        const std::string environment = row.value("environment", "");
        ASSERT_TRUE(cli::readPin(*options, standardInput,
                                 row.contains("environment") ? environment.c_str() : nullptr,
                                 error))
            << error;
        EXPECT_EQ(options->pin,
                  row.contains("pin") ? std::optional(row["pin"].get<std::string>()) : std::nullopt)
            << row.dump();
    }
    std::optional<cli::Options> change =
        cli::parseOptions({"--pin-file", "-", "pin", "change", "-", "-"}, error);
    std::istringstream lines("1234\n4321\r\n5678\n");
    ASSERT_TRUE(cli::readPin(*change, lines, nullptr, error));
    EXPECT_EQ(change->pin, "1234");
    EXPECT_EQ(change->words, (std::vector<std::string>{"pin", "change", "4321", "5678"}));
    std::optional<cli::Options> missing =
        cli::parseOptions({"--pin-file", (dir / "none").string(), "info"}, error);
    std::istringstream none;
    EXPECT_FALSE(cli::readPin(*missing, none, nullptr, error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos);
    EXPECT_FALSE(cli::parseOptions({"--pin", "1", "--pin-file", file, "info"}, error));
}

} // namespace
} // namespace velnor
