#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SimTestSupport.h"
#include "simcard/SimHost.h"
#include "support/TempDir.h"

namespace velnor::test {
namespace {

const Bytes Verify = apdu(0x20, 0, 1, 8, code8("1234"));

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
        host.transmit(Verify);
        host.transmit(selectCommand(0x7F10));
        host.transmit(selectCommand(0x6F3A));
        return statusOf(host.transmit(apdu(0xDC, number, 4, 30, record)));
    }

    TempDir dir;
    std::filesystem::path path = dir / "card.json";
};

TEST_F(ProfileFile, EveryUpdateIsInTheFileAtOnce) {
    auto host = open();
    Bytes record(30, 0xFF);
    record[0] = 'Z';
    ASSERT_EQ(updatePhonebook(*host, 2, record), 0x9000);
    const CardProfile saved = onDisk();
    const auto node = saved.files.find(std::vector<uint16_t>{0x3F00, 0x7F10, 0x6F3A});
    ASSERT_TRUE(node);
    EXPECT_EQ(*saved.files.record(*node, 2), record);
    EXPECT_EQ((*saved.files.record(*node, 3))[0], 0x4A) << "the other records stay";
    EXPECT_EQ(filesIn(dir.path()), 2u) << "the profile and its lock, no temporary file";
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

TEST_F(ProfileFile, ChvStateOutlivesTheProgram) {
    {
        auto host = open();
        EXPECT_EQ(statusOf(host->transmit(apdu(0x20, 0, 1, 8, code8("0000")))), 0x9804);
        EXPECT_EQ(onDisk().chv1.attemptsLeft, 2);
        EXPECT_EQ(
            statusOf(host->transmit(apdu(0x24, 0, 1, 16, concat(code8("1234"), code8("2468"))))),
            0x9000);
    }
    auto reopened = open();
    EXPECT_EQ(statusOf(reopened->transmit(apdu(0x20, 0, 1, 8, code8("2468")))), 0x9000);
    EXPECT_EQ(onDisk().chv1.attemptsLeft, 3);
}

TEST_F(ProfileFile, VerificationAloneWritesNothing) {
    auto host = open();
    const auto before = std::filesystem::last_write_time(path);
    const std::string content = readFile(path);
    host->transmit(Verify);
    host->transmit(selectCommand(0x7F10));
    EXPECT_EQ(readFile(path), content);
    EXPECT_EQ(std::filesystem::last_write_time(path), before);
}

TEST_F(ProfileFile, KeepsTheFileMode) {
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    auto host = open();
    ASSERT_EQ(updatePhonebook(*host, 1, Bytes(30, 0x41)), 0x9000);
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(ProfileFile, QuirksSetAtRunTimeAreNotWritten) {
    auto host = open();
    host->withCard([](VirtualSim &sim) {
        CardQuirks quirks;
        quirks.drops82Coding = true;
        sim.setQuirks(quirks);
    });
    ASSERT_EQ(updatePhonebook(*host, 1, Bytes(30, 0x41)), 0x9000);
    EXPECT_EQ(onDisk().quirks, CardQuirks());
}

TEST_F(ProfileFile, FailedSaveTakesTheChangeBackAndAnswers9240) {
    auto host = open([](const std::filesystem::path &, const std::string &, std::string &error) {
        error = "Disk full.";
        return false;
    });
    const std::string content = readFile(path);
    EXPECT_EQ(updatePhonebook(*host, 3, Bytes(30, 0x41)), 0x9240);
    EXPECT_EQ(host->lastSaveError(), "Disk full.");
    host->withCard([](VirtualSim &sim) {
        EXPECT_EQ((*sim.record("3F00/7F10/6F3A", 3))[0], 0x4A);
        EXPECT_EQ(sim.chv1().chv1StatusByte(), 0x83);
    });
    EXPECT_EQ(statusOf(host->transmit(apdu(0x20, 0, 1, 8, code8("0000")))), 0x9240);
    host->withCard([](VirtualSim &sim) { EXPECT_EQ(sim.chv1().chv1StatusByte(), 0x83); });
    EXPECT_EQ(readFile(path), content);
}

TEST_F(ProfileFile, CardInMemoryNeverWrites) {
    auto host = SimHost::inMemory(smallProfile());
    ASSERT_EQ(updatePhonebook(*host, 1, Bytes(30, 0x41)), 0x9000);
    EXPECT_TRUE(host->profilePath().empty());
    EXPECT_EQ(filesIn(dir.path()), 1u);
    host->withCard(
        [](VirtualSim &sim) { EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 1), Bytes(30, 0x41)); });
}

TEST_F(ProfileFile, UnreadableProfileGivesTheReason) {
    writeFile(path, "{\"chv1\": {}}");
    std::string error;
    EXPECT_FALSE(SimHost::openProfile(path, error));
    EXPECT_EQ(error, "card.json: CHV1: \"code\" is missing.");
}

} // namespace
} // namespace velnor::test
