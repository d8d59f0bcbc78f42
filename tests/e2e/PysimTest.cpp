#include <thread>

#include "E2eFixture.h"
#include "card/DemoProfile.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;

// osmocom pySim, an independent SIM tool, kept beside the clone where one is at hand.
const std::filesystem::path kPysim = VELNOR_PYSIM;

class PysimThroughPcscd : public ThroughPcscd {};

// pySim takes the demo card for a GSM SIM and reads its identity, phonebook and messages.
TEST_F(PysimThroughPcscd, ReadsTheDemoCard) {
    if (!std::filesystem::exists(kPysim)) {
        GTEST_SKIP() << "pySim is not at " << kPysim.string() << "; the demo card is not checked "
                     << "against it.";
    }
    ServedCard served(profile("card.json", makeDemoProfile(false)));
    ASSERT_TRUE(served.inserted());
    writeFile(dir / "script.txt", "select EF.ICCID\nread_binary_decoded\n"
                                  "select DF.GSM\nselect EF.IMSI\nread_binary_decoded\n"
                                  "select MF\nselect DF.TELECOM\nselect EF.ADN\n"
                                  "read_record_decoded 3\nselect EF.SMS\nread_record_decoded 1\n");
    ChildProcess pysim({kPysim.string(), "pySim-shell.py", "--pcsc-regex", kFirstReader, "--script",
                        (dir / "script.txt").string()},
                       dir / "pysim.log");
    for (auto until = std::chrono::steady_clock::now() + 60s;
         pysim.running() && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(50ms);
    }
    const std::string log = readFile(dir / "pysim.log");
    for (const char *expected :
         {"Card is of type: SIM", "\"iccid\": \"89012345678901234567\"",
          "\"imsi\": \"001010123456789\"", "\"alpha_id\": \"J\\u00fcrgen Wei\\u00df\"",
          "\"dialing_nr\": \"4915112345678f\"", "\"status\": \"message_read\""}) {
        EXPECT_NE(log.find(expected), std::string::npos) << expected << " in:\n" << log;
    }
    EXPECT_EQ(log.find("EXCEPTION"), std::string::npos) << log;
}

} // namespace
} // namespace velnor::test
