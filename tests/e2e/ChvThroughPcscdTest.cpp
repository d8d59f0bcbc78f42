#include "E2eFixture.h"

namespace velnor::test {
namespace {

using ChvThroughPcscd = ThroughPcscd;

const char *const kPinCard = R"({
  "chv1": {"enabled": true, "code": "1234", "attempts": 3, "unblockCode": "12345678",
           "unblockAttempts": 10},
  "files": [{"path": "3F00/2FE2", "data": "98103254769810325476"},
            {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 2,
             "records": ["416E6E61FFFFFFFFFFFFFFFFFFFFFFFF0481103254FFFFFFFFFFFFFFFFFF"]}]})";

// Every PIN operation with right and wrong codes, through pcscd, until the PIN is blocked and
// unblocked again; each code is offered once, and the card keeps what it was told.
TEST_F(ChvThroughPcscd, EveryOperationWithRightAndWrongCodes) {
    const std::filesystem::path card = profile("card.json", kPinCard);
    ServedCard served(card);
    ASSERT_TRUE(served.inserted());
    const EnglishTexts texts;
    struct Step {
        std::vector<std::string> args;
        int status;
        std::string says; // on the output stream when it worked, on the error stream otherwise
    };
    const std::string wrong = texts.get(8003);
    const std::string blocked = texts.get(8006);
    const Step steps[] = {
        {{"pin", "verify", "0000"}, 1, wrong},
        {{"info"}, 0, "PIN: on, 2 attempts left"},
        {{"pin", "verify", "1234"}, 0, "The card accepted the PIN."},
        {{"pin", "disable", "1234"}, 0, texts.get(8043)},
        {{"pin", "disable", "1234"}, 1, texts.get(8004)},
        {{"read", "phonebook"}, 0, "Anna"},
        {{"pin", "enable", "1234"}, 0, texts.get(8042)},
        {{"pin", "change", "1234", "4321"}, 0, texts.get(8044)},
        {{"read", "phonebook"}, 1, "The card asks for its PIN: give it with --pin."},
        {{"--pin", "4321", "read", "phonebook"}, 0, "Anna"},
        {{"pin", "verify", "1234"}, 1, wrong},
        {{"pin", "verify", "1234"}, 1, wrong},
        {{"pin", "verify", "1234"}, 1, blocked},
        {{"pin", "verify", "4321"}, 1, blocked},
        {{"--pin", "4321", "read", "phonebook"}, 1, blocked},
        {{"pin", "unblock", "00000000", "1111"}, 1, wrong},
        {{"pin", "unblock", "12345678", "1111"}, 0, texts.get(8079)},
        {{"--pin", "1111", "read", "phonebook"}, 0, "Anna"},
        {{"pin", "verify"}, 2, "Use pin verify CODE"},
    };
    for (const Step &step : steps) {
        std::string line;
        for (const std::string &arg : step.args) {
            line += arg + " ";
        }
        SCOPED_TRACE(line);
        const CliRun run = runCli(step.args, dir.path());
        EXPECT_EQ(run.status, step.status) << run.err;
        const std::string &said = step.status == 0 ? run.out : run.err;
        EXPECT_NE(said.find(step.says), std::string::npos) << said;
    }
    served.stop();
    const ProfileResult kept = loadCardProfile(card);
    ASSERT_TRUE(kept.profile) << kept.error;
    EXPECT_TRUE(kept.profile->chv1.enabled);
    EXPECT_EQ(kept.profile->chv1.attemptsLeft, 3);
    EXPECT_EQ(kept.profile->chv1.unblockAttemptsLeft, 10) << "the right unblock code restored it";

    const CliRun noCard = runCli({"pin", "verify", "1111"}, dir.path());
    EXPECT_EQ(noCard.status, 3);
    EXPECT_NE(noCard.err.find("There is no card in the reader"), std::string::npos) << noCard.err;
}

} // namespace
} // namespace velnor::test
