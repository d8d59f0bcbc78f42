#include <array>

#include "E2eFixture.h"
#include "card/DemoProfile.h"
#include "reader/CardHandle.h"

namespace velnor::test {
namespace {

using Readers = ThroughPcscd;

TEST_F(Readers, SearchPrefersTheNamedReaderThenACardThenTheFirst) {
    PcscDriver any;
    ASSERT_TRUE(waitForCard(kFirstReader, false));
    ASSERT_TRUE(waitForCard(kSecondReader, false));
    EXPECT_EQ(any.FindDeviceEntry(), kFirstReader) << "no card anywhere: the first reader";

    ServedCard card(profile("card.json", makeDemoProfile(false)), kSecondPort);
    ASSERT_TRUE(card.inserted());
    EXPECT_EQ(any.FindDeviceEntry(), kSecondReader) << "the first reader holding a card";
    EXPECT_EQ(PcscDriver(kFirstReader).FindDeviceEntry(), kFirstReader) << "the named reader";
    PcscDriver unknown("ACME Reader 00 00");
    EXPECT_EQ(unknown.FindDeviceEntry(), std::nullopt);
    EXPECT_EQ(unknown.lastError(), "The reader ACME Reader 00 00 is not attached.");

    const CliRun readers = runCli({"readers"}, dir.path());
    EXPECT_EQ(readers.status, 0) << readers.output;
    EXPECT_NE(readers.output.find(kFirstReader + "\tempty\n"), std::string::npos);
    EXPECT_NE(readers.output.find(kSecondReader + "\tcard\n"), std::string::npos);
}

TEST_F(Readers, ReaderWithoutCardOpensAndAnswersItsInquiryButGivesNoAnswerToReset) {
    ASSERT_TRUE(waitForCard(kFirstReader, false));
    PcscDriver driver;
    CardHandle handle(driver, kFirstReader);
    ASSERT_TRUE(handle.isOpen()) << driver.lastError();
    EXPECT_EQ(driver.SIM_InquiryFunctions(handle.get()),
              (std::vector<uint8_t>{0xB0, 0x02, 0x08, 0x00, 0x01, 'S', 'I', 'M', ' '}));
    std::array<uint8_t, 64> atr{};
    EXPECT_EQ(driver.GetATRValue(handle.get(), atr.data(), 0), 0);
    uint8_t length = 0;
    EXPECT_EQ(driver.SelectFile(handle.get(), 0x3F00, length, 0), 0);
    EXPECT_NE(driver.lastError().find("there is no card"), std::string::npos) << driver.lastError();

    // The card comes; the handle opened before reaches it once it asks for the answer to reset.
    ServedCard card(profile("card.json", makeDemoProfile(false)));
    ASSERT_TRUE(card.inserted());
    ASSERT_EQ(driver.GetATRValue(handle.get(), atr.data(), 0), 1) << driver.lastError();
    EXPECT_EQ(atr[0], 0x3B);
    EXPECT_EQ(driver.SelectFile(handle.get(), 0x3F00, length, 0), 1);
    EXPECT_EQ(length, 0x16);
    EXPECT_EQ(driver.OpenRX730X("ACME Reader 00 00"), -1);
}

// Without pcscd, and with a pcscd that has no reader, the tool says which of the two it is.
TEST_F(Readers, ToolTellsNoPcscdFromNoReader) {
    PcscHarness &harness = PcscHarness::instance();
    if (!harness.ownsPcscd()) {
        GTEST_SKIP() << "pcscd was not started by these tests, so they do not stop it";
    }
    harness.stopPcscd();
    const CliRun down = runCli({"readers"}, dir.path());
    EXPECT_EQ(down.status, 3);
    const std::string hint = "velnor-cli: pcscd, the PC/SC service, is not running: start it with "
                             "\"systemctl start pcscd.socket\"";
    EXPECT_EQ(down.output, hint + "\n");
    const CliRun info = runCli({"info"}, dir.path());
    EXPECT_EQ(info.status, 3);
    EXPECT_EQ(info.output.substr(0, hint.size()), hint) << "every command says so";

    ASSERT_TRUE(harness.startPcscd(false)) << harness.reason();
    const CliRun none = runCli({"readers"}, dir.path());
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(none.output, "velnor-cli: No card reader is attached (pcscd is running).\n");
}

} // namespace
} // namespace velnor::test
