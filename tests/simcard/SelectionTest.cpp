#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace velnor::test {
namespace {

// A card with a second-level directory (7F10/5F3A) and an empty directory (7F20).
CardProfile selectionProfile() {
    ProfileResult loaded = parseCardProfile(R"({
  "files": [
    {"path": "3F00/2FE2", "data": "98103254769810325476"},
    {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 5},
    {"path": "3F00/7F10/5F3A/4F30", "data": "0102"},
    {"path": "3F00/7F20"},
    {"path": "3F00/7F25/6F3C", "recordLength": 255, "recordCount": 2}
  ]
})");
    EXPECT_TRUE(loaded.profile) << loaded.error;
    return std::move(*loaded.profile);
}

struct SelectCase {
    std::vector<uint16_t> before; // selected first, each must succeed
    uint16_t target;
    uint16_t status;
};

class Selection : public ::testing::TestWithParam<SelectCase> {};

// GSM 11.11, 6.5: the master file, children of the current directory, the current directory,
// its parent and the directories beside it; nothing else.
TEST_P(Selection, FollowsTheSelectionRules) {
    VirtualSim sim(selectionProfile());
    for (uint16_t id : GetParam().before) {
        ASSERT_EQ(statusOf(sim.transmit(selectCommand(id))) >> 8, 0x9F) << std::hex << id;
    }
    EXPECT_EQ(statusOf(sim.transmit(selectCommand(GetParam().target))), GetParam().status)
        << std::hex << GetParam().target;
}

INSTANTIATE_TEST_SUITE_P(
    Gsm1111, Selection,
    ::testing::Values(SelectCase{{}, 0x3F00, 0x9F16}, SelectCase{{}, 0x7F10, 0x9F16},
                      SelectCase{{}, 0x2FE2, 0x9F0F}, SelectCase{{}, 0x6F3A, 0x9404},
                      SelectCase{{}, 0x1234, 0x9404}, SelectCase{{0x7F10}, 0x6F3A, 0x9F0F},
                      SelectCase{{0x7F10}, 0x2FE2, 0x9404}, // a file of the parent
                      SelectCase{{0x7F10}, 0x7F25, 0x9F16}, // a directory beside
                      SelectCase{{0x7F10}, 0x7F10, 0x9F16}, // the current directory
                      SelectCase{{0x7F10, 0x6F3A}, 0x7F20, 0x9F16},
                      SelectCase{{0x7F10, 0x6F3A}, 0x6F3A, 0x9F0F},
                      SelectCase{{0x7F10, 0x5F3A}, 0x4F30, 0x9F0F},
                      SelectCase{{0x7F10, 0x5F3A}, 0x7F10, 0x9F16}, // the parent
                      SelectCase{{0x7F10, 0x5F3A}, 0x6F3A, 0x9404},
                      SelectCase{{0x7F10, 0x5F3A}, 0x7F25, 0x9404}, // beside the parent
                      SelectCase{{0x7F10, 0x5F3A, 0x4F30}, 0x3F00, 0x9F16},
                      SelectCase{{0x7F25, 0x6F3C}, 0x7F10, 0x9F16},
                      SelectCase{{0x7F25, 0x6F3C}, 0x6F3A, 0x9404}));

TEST(Selection, FailedSelectKeepsTheSelection) {
    VirtualSim sim(selectionProfile());
    sim.transmit(selectCommand(0x7F10));
    sim.transmit(selectCommand(0x6F3A));
    EXPECT_EQ(statusOf(sim.transmit(selectCommand(0x2FE2))), 0x9404);
    EXPECT_EQ(sim.files().pathText(sim.currentDirectory()), "3F00/7F10");
    ASSERT_TRUE(sim.currentElementaryFile());
    EXPECT_EQ(sim.files().pathText(*sim.currentElementaryFile()), "3F00/7F10/6F3A");
}

TEST(Selection, PowerOnSelectsTheMasterFile) {
    VirtualSim sim(selectionProfile());
    sim.transmit(selectCommand(0x7F10));
    sim.transmit(selectCommand(0x6F3A));
    sim.powerOn();
    EXPECT_EQ(sim.currentDirectory(), CardFileSystem::Master);
    EXPECT_FALSE(sim.currentElementaryFile());
    EXPECT_EQ(statusOf(sim.transmit(selectCommand(0x6F3A))), 0x9404);
}

class StatusResponses : public ::testing::Test {
protected:
    Bytes responseOf(uint16_t id) {
        const uint16_t status = statusOf(sim.transmit(selectCommand(id)));
        EXPECT_EQ(status >> 8, 0x9F);
        const auto answer = sim.transmit(apdu(0xC0, 0, 0, static_cast<uint8_t>(status)));
        EXPECT_EQ(statusOf(answer), 0x9000);
        return dataOf(answer);
    }

    VirtualSim sim{smallProfile()};
};

// GSM 11.11, 9.2.1, bytes counted from 0.
TEST_F(StatusResponses, MasterFileDescribesDirectoryAndChv1) {
    const Bytes r = responseOf(0x3F00);
    ASSERT_EQ(r.size(), 22u);
    EXPECT_EQ(r[4] << 8 | r[5], 0x3F00);
    EXPECT_EQ(r[6], 0x01);
    EXPECT_EQ(r[12], 22 - 13);
    EXPECT_EQ(r[13] & 0x80, 0) << "CHV1 enabled";
    EXPECT_EQ(r[14], 2) << "7F10 and 7F25";
    EXPECT_EQ(r[15], 1) << "2FE2";
    EXPECT_EQ(r[16], 2);
    EXPECT_EQ(r[18], 0x83);
    EXPECT_EQ(r[19], 0x8A);
    EXPECT_EQ(r[20], 0x00);
    EXPECT_EQ(r[21], 0x00);
    const size_t used = 10 + 5 * 30 + 3 * 176 + 40 + 2 * 255;
    EXPECT_EQ(static_cast<size_t>(r[2] << 8 | r[3]), 0x8000 - used);
}

TEST_F(StatusResponses, LinearFixedFileGivesSizeAndRecordLength) {
    responseOf(0x7F10);
    const Bytes r = responseOf(0x6F3A);
    ASSERT_EQ(r.size(), 15u);
    EXPECT_EQ(r[2] << 8 | r[3], 150);
    EXPECT_EQ(r[4] << 8 | r[5], 0x6F3A);
    EXPECT_EQ(r[6], 0x04);
    EXPECT_EQ(r[8], 0x11) << "read and update need CHV1";
    EXPECT_EQ(r[11], 0x01) << "not invalidated";
    EXPECT_EQ(r[12], 2);
    EXPECT_EQ(r[13], 0x01);
    EXPECT_EQ(r[14], 30);
}

TEST_F(StatusResponses, TransparentFileHasNoRecordLength) {
    const Bytes r = responseOf(0x2FE2);
    EXPECT_EQ(r[2] << 8 | r[3], 10);
    EXPECT_EQ(r[8], 0x04) << "read always, update by the administrator";
    EXPECT_EQ(r[13], 0x00);
    EXPECT_EQ(r[14], 0x00);
}

TEST_F(StatusResponses, FollowChv1State) {
    sim.transmit(apdu(0x20, 0, 1, 8, code8("0000")));
    EXPECT_EQ(responseOf(0x3F00)[18], 0x82);
    sim.transmit(apdu(0x26, 0, 1, 8, code8("1234")));
    const Bytes r = responseOf(0x3F00);
    EXPECT_EQ(r[13] & 0x80, 0x80) << "CHV1 disabled";
    EXPECT_EQ(r[18], 0x83) << "counter back at its maximum";
}

TEST_F(StatusResponses, StatusCommandDescribesTheCurrentDirectory) {
    sim.transmit(selectCommand(0x7F10));
    sim.transmit(selectCommand(0x6F3A));
    const auto answer = sim.transmit(apdu(0xF2, 0, 0, 22));
    ASSERT_EQ(statusOf(answer), 0x9000);
    EXPECT_EQ(dataOf(answer)[5], 0x10);
    // GET RESPONSE still answers for the selected file.
    EXPECT_EQ(dataOf(sim.transmit(apdu(0xC0, 0, 0, 15)))[5], 0x3A);
}

TEST_F(StatusResponses, ShorterGetResponseGivesTheFirstBytes) {
    sim.transmit(selectCommand(0x3F00));
    const auto answer = sim.transmit(apdu(0xC0, 0, 0, 6));
    EXPECT_EQ(dataOf(answer), (Bytes{0x00, 0x00, 0x7B, 0x2A, 0x3F, 0x00}));
}

} // namespace
} // namespace velnor::test
