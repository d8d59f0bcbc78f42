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

TEST_F(CliPin, EachOperationSaysWhatItDidAndAWrongCodeCostsOneAttempt) {
    EXPECT_EQ(pin({"verify", "0000"}), cli::Refused);
    EXPECT_EQ(err.str(), texts.get(8003) + "\n");
    EXPECT_EQ(verifies(), 1u);
    EXPECT_EQ(chv1().attemptsLeft, 2);
    EXPECT_EQ(pin({"verify", "1234"}), cli::Done);
    EXPECT_EQ(out.str(), "The card accepted the PIN.\n");
    EXPECT_EQ(chv1().attemptsLeft, 3);

    EXPECT_EQ(pin({"disable", "1234"}), cli::Done);
    EXPECT_EQ(out.str(), texts.get(8043) + "\n");
    EXPECT_FALSE(chv1().enabled);
    EXPECT_EQ(pin({"enable", "1234"}), cli::Done);
    EXPECT_EQ(out.str(), texts.get(8042) + "\n");
    EXPECT_EQ(pin({"change", "1234", "87654321"}), cli::Done);
    EXPECT_EQ(out.str(), texts.get(8044) + "\n");
    EXPECT_EQ(pin({"unblock", "12345678", "2468"}), cli::Done);
    EXPECT_EQ(out.str(), texts.get(8079) + "\n");
    EXPECT_EQ(pin({"verify", "2468"}), cli::Done);
}

// Codes no card can hold are refused before the card sees them; wrong words are a usage error.
TEST_F(CliPin, BadCodesAndWordsNeverReachTheCard) {
    const std::string tooShort = texts.get(9010) + "\n";
    const std::string usage = "velnor-cli: Use pin verify CODE";
    const struct {
        std::vector<std::string> words;
        int status;
        const std::string &said;
    } cases[] = {
        {{"verify", ""}, cli::Refused, tooShort},
        {{"verify", "12"}, cli::Refused, tooShort},
        {{"change", "1234", ""}, cli::Refused, tooShort},
        {{"unblock", "1234", "4321"}, cli::Refused, tooShort},
        {{"verify"}, cli::Usage, usage},
        {{"change", "1234"}, cli::Usage, usage},
        {{"unblock", "1", "2", "3"}, cli::Usage, usage},
        {{"reset", "1234"}, cli::Usage, usage},
        {{}, cli::Usage, usage},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(pin(c.words), c.status);
        EXPECT_EQ(err.str().rfind(c.said, 0), 0u) << err.str();
    }
    EXPECT_EQ(verifies(), 0u);
    EXPECT_EQ(chv1().attemptsLeft, 3);
    EXPECT_EQ(pin({"verify", "1234"}), cli::Done) << "the code is unchanged";
    EXPECT_EQ(withoutCard({"pin", "verify", "1234"}), cli::NoCard);
}

// The PIN from a file, standard input or the environment, so that no process list shows it.
TEST(CliPinSources, FileStandardInputOrEnvironment) {
    test::TempDir dir;
    const std::string file = (dir / "pin").string();
    test::writeFile(file, "4321\r\nnot this");
    const struct {
        std::vector<std::string> args;
        const char *environment;
        std::optional<std::string> pin;
    } rows[] = {
        {{"--pin-file", file, "info"}, "9999", "4321"},
        {{"--pin-file", "-", "info"}, nullptr, "2468"},
        {{"--pin", "1111", "info"}, "9999", "1111"},
        {{"info"}, "9999", "9999"},
        {{"info"}, "", std::nullopt},
    };
    std::string error;
    for (const auto &row : rows) {
        std::optional<cli::Options> options = cli::parseOptions(row.args, error);
        ASSERT_TRUE(options) << error;
        std::istringstream standardInput("2468\n");
        ASSERT_TRUE(cli::readPin(*options, standardInput, row.environment, error)) << error;
        EXPECT_EQ(options->pin, row.pin) << row.args[0];
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
