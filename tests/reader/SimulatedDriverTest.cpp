#include <gtest/gtest.h>

#include "reader/CardTestSupport.h"
#include "support/TempDir.h"

namespace velnor::test {
namespace {

TEST_F(SimulatedReader, ListsItsReaderWithOrWithoutCardAndNamesItsSimFunction) {
    EXPECT_EQ(driver.FindDeviceEntry(), path);
    EXPECT_FALSE(SimulatedDriver().FindDeviceEntry());
    EXPECT_TRUE(SimulatedDriver().ListReaders().empty());
    EXPECT_EQ(driver.ListReaders(), (std::vector<ReaderEntry>{{path, true}}));
    setCardQuirks(*card, {.pulled = true});
    EXPECT_EQ(driver.ListReaders(), (std::vector<ReaderEntry>{{path, false}}));
    const std::string unreadable = "sim:/nonexistent/card.json";
    EXPECT_EQ(SimulatedDriver(unreadable).ListReaders(),
              (std::vector<ReaderEntry>{{unreadable, false}}));
    EXPECT_EQ(driver.SIM_InquiryFunctions(handle),
              (std::vector<uint8_t>{0xB0, 0x02, 0x08, 0x00, 0x01, 'S', 'I', 'M', ' '}));
}

TEST_F(SimulatedReader, EveryOpenGivesItsDriverANewHandleOnTheSameCard) {
    const int second = driver.OpenRX730X(path);
    EXPECT_NE(second, handle);
    EXPECT_EQ(driver.cardOf(second), card);
    SimulatedDriver other(path);
    const int third = other.OpenRX730X(path);
    EXPECT_EQ(other.cardOf(third), card);
    EXPECT_FALSE(other.cardOf(handle)) << "handles of one driver are not another's";
    other.CloseHandle(third);
    // The verification on one handle is the card's: the other handle reads too.
    uint8_t status = 0;
    uint8_t length = 0;
    uint8_t buffer[260];
    ASSERT_TRUE(driver.VerifyCHV(handle, 0, 1, "1234", status));
    ASSERT_TRUE(driver.SelectFile(second, 0x7F10, length, 0));
    ASSERT_TRUE(driver.SelectFile(second, 0x6F3A, length, 0));
    EXPECT_TRUE(driver.ReadRecord(second, 30, 3, 0, buffer, false));
    driver.CloseHandle(second);
    EXPECT_FALSE(driver.SelectFile(second, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "Handle " + std::to_string(second) + " is not open.");
    EXPECT_FALSE(driver.SIM_InquiryFunctions(second));
    EXPECT_FALSE(driver.GetATRValue(second, buffer, 0));
}

// Like a reader connection, a handle stays with its card: after a swap its commands fail until
// the answer to reset connects it to the card now in the reader. A pulled card leaves the
// reader there.
TEST_F(SimulatedReader, HandleFollowsTheCardInTheReaderOnlyAfterTheAnswerToReset) {
    uint8_t length = 0;
    uint8_t atr[64];
    setCardQuirks(*card, {.pulled = true});
    const int second = driver.OpenRX730X(path);
    ASSERT_NE(second, -1);
    EXPECT_FALSE(driver.GetATRValue(second, atr, 0));
    setCardQuirks(*card, {});
    EXPECT_TRUE(driver.GetATRValue(second, atr, 0));
    driver.CloseHandle(second);
    ASSERT_TRUE(driver.SelectFile(handle, 0x3F00, length, 0));
    const auto other = SimulatedCards::instance().insertInMemory(path, cardProfile());
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0));
    EXPECT_EQ(driver.lastError(), "The card was taken out of the reader " + path + ".");
    EXPECT_TRUE(driver.SIM_InquiryFunctions(handle)) << "the reader still answers";
    ASSERT_TRUE(driver.GetATRValue(handle, atr, 0));
    EXPECT_EQ(driver.cardOf(handle), other);
    EXPECT_TRUE(driver.SelectFile(handle, 0x3F00, length, 0));
    SimulatedCards::instance().remove(path);
    EXPECT_FALSE(driver.SelectFile(handle, 0x3F00, length, 0)) << "taken out";
}

// A missing profile file is the CLI tests' (ProfileThatGivesNoCardSaysWhy).
TEST(SimulatedDriverOpen, RefusesWhatIsNoSimulatedReaderOrNoProfile) {
    SimulatedDriver driver;
    EXPECT_EQ(driver.OpenRX730X("ACS ACR38U 00 00"), -1);
    EXPECT_EQ(driver.lastError(), "\"ACS ACR38U 00 00\" is not a simulated reader (sim:PATH).");
    EXPECT_EQ(driver.OpenRX730X("sim:"), -1);
}

TEST(SimulatedDriverOpen, CardOfAProfileFileKeepsItsChangesOrSaysWhyNot) {
    TempDir dir;
    const auto file = dir / "card.json";
    writeFile(file,
              R"({"files": [{"path": "3F00/7F10/6F3A", "recordLength": 2, "recordCount": 1}]})");
    const std::string path = "sim:" + file.string();
    const std::string otherSpelling = "sim:" + (dir / "." / "card.json").string();
    SimulatedDriver driver(path);
    const int handle = driver.OpenRX730X(path);
    ASSERT_NE(handle, -1) << driver.lastError();
    EXPECT_EQ(SimulatedCards::instance().find(otherSpelling), driver.cardOf(handle));
    uint8_t length = 0;
    const uint8_t kept[2] = {0x41, 0x42};
    const uint8_t lost[2] = {0x43, 0x44};
    ASSERT_TRUE(driver.SelectFile(handle, 0x7F10, length, 0));
    ASSERT_TRUE(driver.SelectFile(handle, 0x6F3A, length, 0));
    ASSERT_TRUE(driver.UpdateRecord(handle, 2, 1, 0, kept, false));
    EXPECT_NE(readFile(file).find("\"4142\""), std::string::npos);
    // The profile file turns into a folder: nothing can be renamed over it any more.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    writeFile(file / "keep", "x");
    EXPECT_FALSE(driver.UpdateRecord(handle, 2, 1, 0, lost, false));
    EXPECT_EQ(
        driver.lastError().rfind("UPDATE RECORD 1: the card answered 9240 (cannot replace ", 0), 0u)
        << driver.lastError();
    uint8_t buffer[260] = {};
    ASSERT_TRUE(driver.ReadRecord(handle, 2, 1, 0, buffer, false));
    EXPECT_EQ(buffer[0], 0x41) << "the card took the change back";
    driver.CloseHandle(handle);
    SimulatedCards::instance().remove(otherSpelling);
    EXPECT_FALSE(SimulatedCards::instance().find(path));
}

} // namespace
} // namespace velnor::test
