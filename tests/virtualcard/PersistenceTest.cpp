#include <gtest/gtest.h>

#include <sys/stat.h>

#include "SimTestSupport.h"
#include "support/CardRecord.h"
#include "virtualcard/SimHost.h"

namespace velnor::test {
namespace {

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override { writeFile(path, smallProfileJson()); }

    std::shared_ptr<SimHost> open(SimHost::ProfileSaver saver = {}) {
        std::string error;
        auto host = SimHost::openProfile(path, error, std::move(saver));
        EXPECT_TRUE(host) << error;
        return host;
    }
    // The card as the file holds it now.
    CardProfile onDisk() const {
        ProfileResult loaded = loadCardProfile(path);
        EXPECT_TRUE(loaded.profile) << loaded.error;
        return loaded.profile ? std::move(*loaded.profile) : CardProfile();
    }
    uint16_t updatePhonebook(SimHost &host, uint8_t number, const Bytes &record) {
        host.transmit(verifyCommand("1234"));
        host.transmit(selectCommand(0x7F10));
        host.transmit(selectCommand(0x6F3A));
        return statusOf(host.transmit(apdu(0xDC, number, 4, 30, record)));
    }
    Bytes phonebookRecord(SimHost &host, size_t number) {
        return host.withCard(
            [&](VirtualSim &sim) { return *cardRecord(sim, "3F00/7F10/6F3A", number); });
    }

    TempDir dir;
    std::filesystem::path path = dir / "card.json";
};

// Quirks set at run time are not written.
TEST_F(ProfileFile, EveryUpdateIsInTheFileAtOnceWithTheFileModeKept) {
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    auto host = open();
    host->withCard([](VirtualSim &sim) { sim.setQuirks({.drops82Coding = true}); });
    Bytes record(30, 0xFF);
    record[0] = 'Z';
    ASSERT_EQ(updatePhonebook(*host, 2, record), 0x9000);
    const CardProfile saved = onDisk();
    const auto node = saved.files.find(std::vector<uint16_t>{0x3F00, 0x7F10, 0x6F3A});
    ASSERT_TRUE(node);
    EXPECT_EQ(*saved.files.record(*node, 2), record);
    EXPECT_EQ((*saved.files.record(*node, 3))[0], 0x4A) << "the other records stay";
    EXPECT_EQ(saved.quirks, CardQuirks());
    EXPECT_EQ(filesIn(dir.path()), 2u) << "the profile and its lock, no temporary file";
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// The card of a profile is one program's at a time: another opening is refused, and once the
// card is gone its lock leaves nothing behind.
TEST_F(ProfileFile, IsOneProgramsCardAtATime) {
    auto host = open();
    std::string error;
    ProfileFault fault = ProfileFault::Unreadable;
    EXPECT_FALSE(SimHost::openProfile(path, error, {}, &fault));
    EXPECT_EQ(fault, ProfileFault::InUse);
    EXPECT_NE(error.find("is in use by another program"), std::string::npos) << error;
    host.reset();
    EXPECT_EQ(filesIn(dir.path()), 1u);
    EXPECT_TRUE(open());
}

TEST_F(ProfileFile, ChvStateOutlivesTheProgramButVerifyingWritesNothing) {
    {
        auto host = open();
        const std::string content = readFile(path);
        const auto written = std::filesystem::last_write_time(path);
        host->transmit(verifyCommand("1234"));
        host->transmit(selectCommand(0x7F10));
        EXPECT_EQ(readFile(path), content);
        EXPECT_EQ(std::filesystem::last_write_time(path), written);
        EXPECT_EQ(statusOf(host->transmit(verifyCommand("0000"))), 0x9804);
        EXPECT_EQ(onDisk().chv1.attemptsLeft, 2);
        Bytes change = verifyCommand("1234");
        change[1] = 0x24; // CHANGE CHV: the old code, then the new one
        change[4] = 16;
        change.insert(change.end(), {'2', '4', '6', '8', 0xFF, 0xFF, 0xFF, 0xFF});
        EXPECT_EQ(statusOf(host->transmit(change)), 0x9000);
    }
    auto reopened = open();
    EXPECT_EQ(statusOf(reopened->transmit(verifyCommand("2468"))), 0x9000);
    EXPECT_EQ(onDisk().chv1.attemptsLeft, 3);
}

TEST_F(ProfileFile, FailedSaveTakesTheChangeBackAndAnswers9240) {
    auto host = open([](const std::filesystem::path &, const std::string &, std::string &error) {
        error = "Disk full.";
        return false;
    });
    const std::string content = readFile(path);
    EXPECT_EQ(updatePhonebook(*host, 3, Bytes(30, 0x41)), 0x9240);
    EXPECT_EQ(host->lastSaveError(), "Disk full.");
    EXPECT_EQ(phonebookRecord(*host, 3)[0], 0x4A);
    EXPECT_EQ(statusOf(host->transmit(apdu(0xB2, 0, 2, 30))), 0x9000); // the first record
    EXPECT_EQ(statusOf(host->transmit(apdu(0xDC, 0, 2, 30, Bytes(30, 0x41)))), 0x9240);
    EXPECT_EQ(phonebookRecord(*host, 2), Bytes(30, 0xFF));
    EXPECT_EQ(host->transmit(apdu(0xB2, 0, 2, 30))->front(), 0xFF)
        << "the record pointer went back: the next record is the second, not the third";
    EXPECT_EQ(statusOf(host->transmit(verifyCommand("0000"))), 0x9240);
    host->withCard([](VirtualSim &sim) { EXPECT_EQ(sim.chv1().chv1StatusByte(), 0x83); });
    EXPECT_EQ(readFile(path), content);
}

} // namespace
} // namespace velnor::test
