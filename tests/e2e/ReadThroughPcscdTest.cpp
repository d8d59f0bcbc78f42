#include "E2eFixture.h"
#include "card/DemoProfile.h"
#include "reader/SimulatedDriver.h"
#include "ui/CardController.h"

namespace velnor::test {
namespace {

// Looks for the reader and reads the card as the window does at start; every exchange with
// the card, as the driver traces it.
std::vector<std::string> readAtStart(ApduDriver &driver, ScriptedWindow &w) {
    std::vector<std::string> exchanges;
    driver.setTrace([&](int, const std::string &exchange, bool) { exchanges.push_back(exchange); });
    CardController(w.session, w.env, w.watcher, w.commands, TabAccess{[](int) {}, [] { return 0; }})
        .lookForReader();
    driver.setTrace(nullptr);
    EXPECT_TRUE(w.session.messagesLoaded && w.session.phonebookLoaded) << driver.lastError();
    return exchanges;
}

using ReadThroughPcscd = ThroughPcscd;

// pcscd passes every command and answer unchanged, and the documented pacing for slow readers
// changes none: the demo card read so gives the exchanges, and so the list files, of the
// simulated reader read without waits.
TEST_F(ReadThroughPcscd, DemoCardGivesTheExchangesAndListsOfTheSimulatedReader) {
    const std::string demo = makeDemoProfile(false);
    std::filesystem::create_directories(dir / "pcsc");
    std::filesystem::create_directories(dir / "sim");
    ServedCard served(profile("pcsc/card.json", demo));
    ASSERT_TRUE(served.inserted());
    PcscDriver pcsc;
    ScriptedWindow throughPcscd(pcsc, dir / "pcsc");
    throughPcscd.timing = Timing::documented();
    const std::vector<std::string> exchanges = readAtStart(pcsc, throughPcscd);
    ASSERT_GT(exchanges.size(), 250u) << "the phonebook's 250 records at least";

    const std::string simPath = "sim:" + profile("sim/card.json", demo).string();
    SimulatedDriver simulated(simPath);
    ScriptedWindow inProcess(simulated, dir / "sim");
    EXPECT_EQ(exchanges, readAtStart(simulated, inProcess));
    SimulatedCards::instance().remove(simPath);
    for (const char *file : {"Phone.fph", "Message.fsm"}) {
        EXPECT_EQ(readFile(dir / "pcsc" / file), readFile(dir / "sim" / file)) << file;
    }
}

} // namespace
} // namespace velnor::test
