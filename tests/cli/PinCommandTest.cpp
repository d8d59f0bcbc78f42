#include <gtest/gtest.h>

#include <sstream>

#include "card/SimulatedCards.h"
#include "cli/Commands.h"
#include "cli/DriverFactory.h"
#include "simcard/ProfileJson.h"
#include "support/EnglishTexts.h"
#include "support/TempDir.h"

namespace velnor {
namespace {

// The pin commands run in-process on a card profile with the PIN on (1234, unblock code
// 12345678); each code is offered to the card once, whatever the card answers.
class CliPin : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(card, R"({
  "chv1": {"enabled": true, "code": "1234", "attempts": 3, "unblockCode": "12345678"},
  "files": [{"path": "3F00/2FE2", "data": "98103254769810325476"}]})");
    }
    void TearDown() override { SimulatedCards::instance().remove(reader); }

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        std::string error;
        const std::optional<cli::Options> options = cli::parseOptions(args, error);
        if (!options) {
            return cli::Usage;
        }
        cli::Context context{
            *options,   out,       err, texts, [&] { return cli::makeDriver(*options); },
            dir.path(), dir.path()};
        return cli::runCommand(context);
    }
    int pin(std::vector<std::string> words) {
        words.insert(words.begin(), {"--reader", reader, "pin"});
        return run(std::move(words));
    }
    ChvState::Settings chv1() {
        const ProfileResult kept = loadCardProfile(card);
        EXPECT_TRUE(kept.profile) << kept.error;
        return kept.profile ? kept.profile->chv1 : ChvState::Settings{};
    }
    unsigned verifies() {
        return SimulatedCards::instance().find(reader)->withCard(
            [](VirtualSim &sim) { return sim.instructionCount(0x20); });
    }

    test::TempDir dir;
    std::filesystem::path card = dir / "card.json";
    std::string reader = "sim:" + card.string();
    test::EnglishTexts texts;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(CliPin, WrongCodeIsReportedOnceAndCostsOneAttempt) {
    EXPECT_EQ(pin({"verify", "0000"}), cli::Refused);
    EXPECT_EQ(err.str(), texts.get(8003) + "\n");
    EXPECT_EQ(verifies(), 1u);
    EXPECT_EQ(chv1().attemptsLeft, 2);
    EXPECT_EQ(pin({"verify", "1234"}), cli::Done);
    EXPECT_EQ(out.str(), "The card accepted the PIN.\n");
    EXPECT_EQ(chv1().attemptsLeft, 3);
}

TEST_F(CliPin, EachOperationSaysWhatItDid) {
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

TEST_F(CliPin, CodesNoCardCanHoldAreRefusedBeforeTheCardSeesThem) {
    for (const std::vector<std::string> &words : {std::vector<std::string>{"verify", ""},
                                                  {"verify", "12"},
                                                  {"change", "1234", ""},
                                                  {"unblock", "1234", "4321"}}) {
        EXPECT_EQ(pin(words), cli::Refused);
        EXPECT_EQ(err.str(), texts.get(9010) + "\n");
    }
    EXPECT_EQ(chv1().attemptsLeft, 3);
    EXPECT_EQ(pin({"verify", "1234"}), cli::Done) << "the code is unchanged";
}

// The PIN from a file, standard input or the environment, so that no process list shows it.
TEST(CliPinSources, FileStandardInputOrEnvironment) {
    test::TempDir dir;
    const std::string file = (dir / "pin").string();
    test::writeFile(file, "4321\r\nnot this");
    struct Row {
        std::vector<std::string> args;
        const char *environment;
        std::optional<std::string> pin;
    };
    const Row rows[] = {
        {{"--pin-file", file, "info"}, "9999", "4321"},
        {{"--pin-file", "-", "info"}, nullptr, "2468"},
        {{"--pin", "1111", "info"}, "9999", "1111"},
        {{"info"}, "9999", "9999"},
        {{"info"}, "", std::nullopt},
    };
    for (const Row &row : rows) {
        std::string error;
        std::optional<cli::Options> options = cli::parseOptions(row.args, error);
        ASSERT_TRUE(options) << error;
        std::istringstream standardInput("2468\n");
        ASSERT_TRUE(cli::readPin(*options, standardInput, row.environment, error)) << error;
        EXPECT_EQ(options->pin, row.pin) << row.args[0];
    }
    std::string error;
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

TEST_F(CliPin, WrongUsageAndNoCard) {
    for (const std::vector<std::string> &words : {std::vector<std::string>{"verify"},
                                                  {"change", "1234"},
                                                  {"unblock", "1", "2", "3"},
                                                  {"reset", "1234"},
                                                  {}}) {
        EXPECT_EQ(pin(words), cli::Usage);
    }
    EXPECT_EQ(err.str().rfind("velnor-cli: Use pin verify CODE", 0), 0u) << err.str();
    reader = "sim:" + (dir / "none.json").string();
    EXPECT_EQ(pin({"verify", "1234"}), cli::NoCard);
}

TEST(CliServe, WrongUsageIsSaidBeforeAnythingIsServed) {
    test::TempDir dir;
    test::EnglishTexts texts;
    std::ostringstream out;
    std::ostringstream err;
    auto run = [&](std::vector<std::string> args) {
        std::string error;
        const std::optional<cli::Options> options = cli::parseOptions(args, error);
        cli::Context context{*options,   out,       err, texts, [] { return nullptr; },
                             dir.path(), dir.path()};
        return cli::runCommand(context);
    };
    EXPECT_EQ(run({"card", "serve"}), cli::Usage);
    EXPECT_EQ(run({"card", "serve", "card.json", "--port", "70000"}), cli::Usage);
    EXPECT_EQ(run({"card", "serve", "card.json", "--port", "x"}), cli::Usage);
}

} // namespace
} // namespace velnor
