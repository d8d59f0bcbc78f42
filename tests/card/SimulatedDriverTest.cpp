#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CardTestSupport.h"
#include "support/TempDir.h"

namespace velnor::test {
namespace {

TEST(SimulatedDriverReader, FindDeviceEntryGivesTheConfiguredPath) {
    EXPECT_EQ(SimulatedDriver("sim:/tmp/card.json").FindDeviceEntry(), "sim:/tmp/card.json");
    EXPECT_FALSE(SimulatedDriver().FindDeviceEntry());
}

TEST_F(SimulatedReader, ListsItsReaderWithOrWithoutCard) {
    auto readers = driver.ListReaders();
    ASSERT_EQ(readers.size(), 1u);
    EXPECT_EQ(readers[0].name, path);
    EXPECT_TRUE(readers[0].cardPresent);
    card->withCard([](VirtualSim &sim) {
        CardQuirks quirks;
        quirks.pulled = true;
        sim.setQuirks(quirks);
    });
    EXPECT_FALSE(driver.ListReaders()[0].cardPresent);
    EXPECT_TRUE(SimulatedDriver().ListReaders().empty());
    const auto unreadable = SimulatedDriver("sim:/nonexistent/card.json").ListReaders();
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_FALSE(unreadable[0].cardPresent);
}

TEST_F(SimulatedReader, InquiryNamesTheSimFunction) {
    const auto inquiry = driver.SIM_InquiryFunctions(handle);
    ASSERT_TRUE(inquiry);
    EXPECT_EQ(*inquiry, (std::vector<uint8_t>{0xB0, 0x02, 0x08, 0x00, 0x01, 'S', 'I', 'M', ' '}));
}

TEST_F(SimulatedReader, EveryOpenGivesANewHandleOnTheSameCard) {
    const int second = driver.OpenRX730X(path);
    ASSERT_NE(second, -1);
    EXPECT_NE(second, handle);
    EXPECT_EQ(driver.cardOf(second), card);
    // The verification on one handle is the card's: the other handle reads too.
    uint8_t status = 0;
    uint8_t length = 0;
    uint8_t buffer[260];
    ASSERT_TRUE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    ASSERT_TRUE(driver.SelectFile(second, 0x7F10, length, 0));
    ASSERT_TRUE(driver.SelectFile(second, 0x6F3A, length, 0));
    EXPECT_TRUE(driver.ReadRecord(second, 30, 3, 0, buffer, false));
    driver.CloseHandle(second);
}

TEST_F(SimulatedReader, HandlesAreSharedAcrossDriverObjects) {
    SimulatedDriver other(path);
    const int otherHandle = other.OpenRX730X(path);
    ASSERT_NE(otherHandle, -1);
    EXPECT_EQ(other.cardOf(otherHandle), card);
    EXPECT_FALSE(other.cardOf(handle)) << "handles of one driver are not another's";
    other.CloseHandle(otherHandle);
}

TEST_F(SimulatedReader, ClosedHandleNoLongerWorks) {
    driver.CloseHandle(handle);
    uint8_t length = 0;
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "Handle " + std::to_string(handle) + " is not open.");
    EXPECT_FALSE(driver.SIM_InquiryFunctions(handle));
    uint8_t atr[64];
    EXPECT_FALSE(driver.GetATRValue(handle, atr, 0));
}

TEST_F(SimulatedReader, PulledCardStillOpensButDoesNotAnswer) {
    card->withCard([](VirtualSim &sim) {
        CardQuirks quirks;
        quirks.pulled = true;
        sim.setQuirks(quirks);
    });
    const int second = driver.OpenRX730X(path);
    ASSERT_NE(second, -1) << "the reader is still there";
    uint8_t atr[64];
    EXPECT_FALSE(driver.GetATRValue(second, atr, 0));
    card->withCard([](VirtualSim &sim) { sim.setQuirks(CardQuirks()); });
    EXPECT_TRUE(driver.GetATRValue(second, atr, 0)) << "the card is back";
    driver.CloseHandle(second);
}

// Like a reader connection, a handle stays with its card: after a swap its commands fail until
// the answer to reset connects it to the card now in the reader.
TEST_F(SimulatedReader, HandleFollowsASwappedCardOnlyAfterTheAnswerToReset) {
    uint8_t length = 0;
    ASSERT_TRUE(driver.SelectFile(handle, 0x3F00, length, 0));
    const auto other = SimulatedCards::instance().insertInMemory(path, cardProfile());
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The card was taken out of the reader " + path + ".");
    EXPECT_TRUE(driver.SIM_InquiryFunctions(handle)) << "the reader still answers";
    uint8_t atr[64];
    ASSERT_TRUE(driver.GetATRValue(handle, atr, 0));
    EXPECT_EQ(driver.cardOf(handle), other);
    EXPECT_TRUE(driver.SelectFile(handle, 0x3F00, length, 0));
    SimulatedCards::instance().remove(path);
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0)) << "taken out";
}

TEST(SimulatedDriverOpen, RefusesPathsThatAreNoSimulatedReader) {
    SimulatedDriver driver;
    EXPECT_EQ(driver.OpenRX730X("ACS ACR38U 00 00"), -1);
    EXPECT_EQ(driver.lastError(), "\"ACS ACR38U 00 00\" is not a simulated reader (sim:PATH).");
    EXPECT_EQ(driver.OpenRX730X("sim:"), -1);
}

TEST(SimulatedDriverOpen, MissingProfileGivesItsReason) {
    TempDir dir;
    SimulatedDriver driver;
    EXPECT_EQ(driver.OpenRX730X("sim:" + (dir / "none.json").string()), -1);
    EXPECT_EQ(driver.lastError(), "The card profile " + (dir / "none.json").string() +
                                      " cannot be opened: No such file or directory.");
}

TEST(SimulatedDriverOpen, CardOfAProfileFileKeepsItsChanges) {
    TempDir dir;
    writeFile(dir / "card.json", R"({
  "chv1": {"code": "1234", "unblockCode": "12345678"},
  "files": [{"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 2}]
})");
    const std::string path = "sim:" + (dir / "card.json").string();
    {
        SimulatedDriver driver(path);
        const int handle = driver.OpenRX730X(path);
        ASSERT_NE(handle, -1) << driver.lastError();
        uint8_t status = 0;
        EXPECT_FALSE(driver.VerifyCHV(handle, 0, 1, "0000", status));
        driver.CloseHandle(handle);
    }
    // Another spelling of the same file names the same card.
    const std::string otherSpelling = "sim:" + (dir / "." / "card.json").string();
    EXPECT_EQ(SimulatedCards::instance().find(otherSpelling),
              SimulatedCards::instance().find(path));
    SimulatedCards::instance().remove(path);
    EXPECT_FALSE(SimulatedCards::instance().find(otherSpelling));
    const ProfileResult saved = loadCardProfile(dir / "card.json");
    ASSERT_TRUE(saved.profile) << saved.error;
    EXPECT_EQ(saved.profile->chv1.attemptsLeft, 2);
}

TEST(SimulatedDriverOpen, ChangeTheFileCannotKeepIsRefusedWithTheReason) {
    TempDir dir;
    const auto file = dir / "card.json";
    writeFile(file,
              R"({"files": [{"path": "3F00/7F10/6F3A", "recordLength": 2, "recordCount": 1}]})");
    const std::string path = "sim:" + file.string();
    SimulatedDriver driver(path);
    const int handle = driver.OpenRX730X(path);
    ASSERT_NE(handle, -1) << driver.lastError();
    // The profile file turns into a folder: nothing can be renamed over it any more.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    writeFile(file / "keep", "x");
    uint8_t length = 0;
    const uint8_t record[2] = {0x41, 0x42};
    ASSERT_TRUE(driver.SelectFile(handle, 0x7F10, length, 0));
    ASSERT_TRUE(driver.SelectFile(handle, 0x6F3A, length, 0));
    EXPECT_FALSE(driver.UpdateRecord(handle, 2, 1, 0, record, false));
    EXPECT_EQ(
        driver.lastError().rfind("UPDATE RECORD 1: the card answered 9240 (cannot replace ", 0), 0u)
        << driver.lastError();
    uint8_t buffer[260] = {};
    ASSERT_TRUE(driver.ReadRecord(handle, 2, 1, 0, buffer, false));
    EXPECT_EQ(buffer[0], 0xFF) << "the card took the change back";
    driver.CloseHandle(handle);
    SimulatedCards::instance().remove(path);
}

// The watcher thread and the window thread each use a handle of their own on one card: every
// command is served whole, none is lost or torn.
TEST_F(SimulatedReader, TwoThreadsShareTheCardSafely) {
    constexpr int Rounds = 300;
    std::atomic<int> failures{0};
    std::thread watcher([&] {
        SimulatedDriver own(path);
        const int h = own.OpenRX730X(path);
        uint8_t atr[64];
        uint8_t status = 0;
        for (int i = 0; i < Rounds; ++i) {
            failures +=
                own.GetATRValue(h, atr, 0) && own.VerifyCHV(h, 0, 1, "1234", status) ? 0 : 1;
        }
        own.CloseHandle(h);
    });
    std::thread window([&] {
        SimulatedDriver own(path);
        const int h = own.OpenRX730X(path);
        uint8_t status = 0;
        uint8_t length = 0;
        failures += own.VerifyCHV(h, 0, 1, "1234", status) ? 0 : 1;
        for (int i = 0; i < Rounds; ++i) {
            const std::vector<uint8_t> record(30, static_cast<uint8_t>(i));
            failures += own.SelectFile(h, 0x7F10, length, 0) &&
                                own.SelectFile(h, 0x6F3A, length, 0) &&
                                own.UpdateRecord(h, 30, 1, 0, record.data(), false)
                            ? 0
                            : 1;
        }
        own.CloseHandle(h);
    });
    watcher.join();
    window.join();
    EXPECT_EQ(failures.load(), 0);
    card->withCard([&](VirtualSim &sim) {
        EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 1),
                  std::vector<uint8_t>(30, static_cast<uint8_t>(Rounds - 1)));
        EXPECT_EQ(sim.instructionCount(0xDC), static_cast<unsigned>(Rounds));
        EXPECT_EQ(sim.instructionCount(0x20), static_cast<unsigned>(Rounds + 1));
    });
}

} // namespace
} // namespace velnor::test
