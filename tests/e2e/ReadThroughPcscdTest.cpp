#include <chrono>
#include <cstdio>
#include <thread>

#include "E2eFixture.h"
#include "card/CardOpening.h"
#include "card/ReaderInquiry.h"
#include "card/SimulatedDriver.h"
#include "files/ListFile.h"
#include "simcard/DemoProfile.h"
#include "transfer/CardReader.h"

namespace velnor::test {
namespace {

using Clock = std::chrono::steady_clock;

// Opens the card as connect does and reads a file as the read command does.
bool openTheCard(CUSBOpKrnl &driver, ScriptedWindow &w, const std::string &reader) {
    const std::optional<ReaderInquiry> inquiry = inquireReader(driver, reader);
    if (!inquiry) {
        return false;
    }
    w.session.reader.devicePath = reader;
    w.session.reader.readerPresent = true;
    w.session.reader.readerCdmaCapable = inquiry->cdmaCapable();
    w.session.card.simFunction = inquiry->simFunction.value_or(0);
    CardOpeningContext opening{driver,     w.prompts,        w.texts,       w.status,
                               w.commands, w.session.reader, w.session.card};
    return openCard(opening);
}

// Counts the commands a driver sends.
void countCommands(ApduDriver &driver, unsigned &count) {
    driver.setTrace([&count](int, const std::string &, bool) { ++count; });
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class ReadThroughPcscd : public ThroughPcscd {};

// The demo card read through pcscd gives the very list files the simulated reader gives.
TEST_F(ReadThroughPcscd, DemoCardGivesTheSameListsAsTheSimulatedReader) {
    const std::string demo = makeDemoProfile(false);
    std::filesystem::create_directories(dir / "pcsc");
    std::filesystem::create_directories(dir / "sim");
    ServedCard served(profile("pcsc/card.json", demo));
    ASSERT_TRUE(served.inserted());

    PcscDriver pcsc;
    ScriptedWindow throughPcscd(pcsc, dir / "pcsc");
    const Clock::time_point opening = Clock::now();
    ASSERT_TRUE(openTheCard(pcsc, throughPcscd, kFirstReader)) << pcsc.lastError();
    const double openMs = millisecondsSince(opening);
    const Clock::time_point messages = Clock::now();
    ASSERT_EQ(readCard(throughPcscd.session, throughPcscd.env, CardFile::Messages),
              ReadOutcome::Done)
        << pcsc.lastError();
    const double messagesMs = millisecondsSince(messages);
    unsigned phonebookCommands = 0;
    countCommands(pcsc, phonebookCommands);
    const Clock::time_point phonebook = Clock::now();
    ASSERT_EQ(readCard(throughPcscd.session, throughPcscd.env, CardFile::Phonebook),
              ReadOutcome::Done)
        << pcsc.lastError();
    const double phonebookMs = millisecondsSince(phonebook);

    const std::string simPath = "sim:" + profile("sim/card.json", demo).string();
    SimulatedDriver simulated(simPath);
    ScriptedWindow inProcess(simulated, dir / "sim");
    ASSERT_TRUE(openTheCard(simulated, inProcess, simPath));
    ASSERT_EQ(readCard(inProcess.session, inProcess.env, CardFile::Messages), ReadOutcome::Done);
    ASSERT_EQ(readCard(inProcess.session, inProcess.env, CardFile::Phonebook), ReadOutcome::Done);
    SimulatedCards::instance().remove(simPath);

    for (const char *file : {"Phone.fph", "Message.fsm", "phone.log", "sms.log"}) {
        EXPECT_EQ(readFile(dir / "pcsc" / file), readFile(dir / "sim" / file)) << file;
    }
    EXPECT_EQ(listFileText(throughPcscd.session.cardPhonebook),
              listFileText(inProcess.session.cardPhonebook));
    EXPECT_EQ(listFileText(throughPcscd.session.messages.rows()),
              listFileText(inProcess.session.messages.rows()));
    EXPECT_GT(throughPcscd.session.cardPhonebook.rowCount(), 10u);

    // A read of n records costs n commands and a few: the master file and its status, the
    // CDMA directory, the telecom directory, the phonebook and its status.
    const unsigned records = 250;
    EXPECT_EQ(phonebookCommands, records + 6);
    RecordProperty("phonebook_records", records);
    RecordProperty("phonebook_commands", phonebookCommands);
    std::printf("demo card through pcscd: open %.1f ms, messages %.1f ms, phonebook of %u records "
                "%.1f ms in %u commands\n",
                openMs, messagesMs, records, phonebookMs, phonebookCommands);
}

// A small card that falls silent at one command, then is taken out; then the card as it was.
class CardGoingAway : public ThroughPcscd {
protected:
    std::string cardJson(unsigned failAtCommand) const {
        return R"({"chv1": {"enabled": false, "code": "1234", "unblockCode": "12345678"},
            "files": [{"path": "3F00/2FE2", "data": "98103254769810325476"},
              {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 4,
               "records": ["416E6E61FFFFFFFFFFFFFFFFFFFFFFFF0481103254FFFFFFFFFFFFFFFFFF", "",
                           "426F62FFFFFFFFFFFFFFFFFFFFFFFFFF0481214365FFFFFFFFFFFFFFFFFF"]}],
            "quirks": {"failAtCommand": )" +
               std::to_string(failAtCommand) + "}}";
    }
    // Opens the card and reads the phonebook; false when the opening failed.
    ReadOutcome openAndRead(ScriptedWindow &w, PcscDriver &driver) {
        if (!openTheCard(driver, w, kFirstReader)) {
            return ReadOutcome::Failed;
        }
        return readCard(w.session, w.env, CardFile::Phonebook);
    }
    std::vector<Bytes> phonebookOnCard(const std::filesystem::path &file) {
        const ProfileResult card = loadCardProfile(file);
        EXPECT_TRUE(card.profile) << card.error;
        std::vector<Bytes> records;
        for (size_t i = 1; card.profile && i <= 4; ++i) {
            VirtualSim sim(*card.profile);
            records.push_back(*sim.record("3F00/7F10/6F3A", i));
        }
        return records;
    }
};

TEST_F(CardGoingAway, AtAnyCommandOfOpeningAndReadingLeavesTheProgramWorking) {
    unsigned commands = 0;
    std::vector<Bytes> original;
    {
        ServedCard served(profile("base.json", cardJson(0)));
        ASSERT_TRUE(served.inserted());
        PcscDriver driver;
        countCommands(driver, commands);
        ScriptedWindow w(driver, dir.path());
        ASSERT_EQ(openAndRead(w, driver), ReadOutcome::Done);
        served.stop();
        original = phonebookOnCard(dir / "base.json");
    }
    ASSERT_GT(commands, 10u);
    for (unsigned k = 1; k <= commands; ++k) {
        SCOPED_TRACE("the card falls silent at command " + std::to_string(k));
        const std::filesystem::path file = profile("card.json", cardJson(k));
        PcscDriver driver;
        ScriptedWindow w(driver, dir.path());
        w.session.cardPhonebook.appendRow({"1", "kept", "1"});
        ServedCard served(file);
        ASSERT_TRUE(served.inserted());
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(openAndRead(w, driver), ReadOutcome::Failed);
        EXPECT_LT(millisecondsSince(start), 5000.0) << "a card that goes away never hangs a read";
        EXPECT_FALSE(w.session.phonebookLoaded);
        EXPECT_EQ(w.worker.depth, 0);
        EXPECT_FALSE(w.progress.open);

        // The card is back at once (the silence was one command long): the program reads it.
        ReadOutcome again = ReadOutcome::Failed;
        ScriptedWindow next(driver, dir.path());
        for (int attempt = 0; attempt < 50 && again != ReadOutcome::Done; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            again = openAndRead(next, driver);
        }
        EXPECT_EQ(again, ReadOutcome::Done) << driver.lastError();
        served.stop();
        EXPECT_NE(readFile(file.string() + ".serve.log")
                      .find("ended after " + std::to_string(k - 1) + " commands"),
                  std::string::npos)
            << readFile(file.string() + ".serve.log");
        // A read only reads, so the card is as it was wherever it fell silent.
        EXPECT_EQ(phonebookOnCard(file), original);
        EXPECT_EQ(next.session.cardPhonebook.rowCount(), 2u);
    }
}

} // namespace
} // namespace velnor::test
