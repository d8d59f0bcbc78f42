#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace velnor::test {
namespace {

CardProfile statusProfile() {
    ProfileResult loaded = parseCardProfile(R"({
  "chv1": {"code": "1234", "unblockCode": "12345678"},
  "files": [
    {"path": "3F00/2FE2", "data": "98103254769810325476"},
    {"path": "3F00/2F05", "data": "656E", "invalidated": true},
    {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 5},
    {"path": "3F00/7F10/6F40", "recordLength": 30, "recordCount": 1, "read": "ADM"}
  ]
})");
    EXPECT_TRUE(loaded.profile) << loaded.error;
    return std::move(*loaded.profile);
}

const Bytes Verify = apdu(0x20, 0, 1, 8, code8("1234"));

struct StatusCase {
    const char *what;
    std::vector<Bytes> before; // sent first, answers not looked at
    Bytes command;
    uint16_t status;
};

class StatusWords : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusWords, AnswerAsARealCard) {
    VirtualSim sim(statusProfile());
    for (const Bytes &command : GetParam().before) {
        sim.transmit(command);
    }
    EXPECT_EQ(statusOf(sim.transmit(GetParam().command)), GetParam().status) << GetParam().what;
}

const Bytes SelectTelecom = selectCommand(0x7F10);
const Bytes SelectPhonebook = selectCommand(0x6F3A);
const Bytes SelectIccid = selectCommand(0x2FE2);

INSTANTIATE_TEST_SUITE_P(
    Gsm1111, StatusWords,
    ::testing::Values(
        StatusCase{"class other than A0", {}, Bytes{0x00, 0xA4, 0, 0, 2, 0x3F, 0x00}, 0x6E00},
        StatusCase{"unknown instruction", {}, apdu(0x12, 0, 0, 0), 0x6D00},
        StatusCase{"unknown instruction with data", {}, apdu(0x88, 0, 0, 2, {1, 2}), 0x6D00},
        StatusCase{"command shorter than its header", {}, Bytes{0xA0, 0xA4, 0}, 0x6700},
        StatusCase{"SELECT with P3 1", {}, apdu(0xA4, 0, 0, 1, {0x3F}), 0x6700},
        StatusCase{"SELECT with fewer data than P3", {}, apdu(0xA4, 0, 0, 2, {0x3F}), 0x6700},
        StatusCase{"SELECT with P1 set", {}, apdu(0xA4, 4, 0, 2, {0x3F, 0x00}), 0x6B00},
        StatusCase{"READ RECORD with data", {}, apdu(0xB2, 1, 4, 1, {0x00}), 0x6700},
        StatusCase{"READ BINARY on a directory", {SelectTelecom}, apdu(0xB0, 0, 0, 1), 0x9400},
        StatusCase{
            "READ RECORD on a transparent file", {SelectIccid}, apdu(0xB2, 1, 4, 10), 0x9408},
        StatusCase{"READ BINARY on a record file",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB0, 0, 0, 1),
                   0x9408},
        StatusCase{"READ RECORD without CHV1",
                   {SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 1, 4, 30),
                   0x9804},
        StatusCase{"UPDATE RECORD without CHV1",
                   {SelectTelecom, SelectPhonebook},
                   apdu(0xDC, 1, 4, 30, Bytes(30, 0xFF)),
                   0x9804},
        StatusCase{"READ RECORD with CHV1",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 5, 4, 30),
                   0x9000},
        StatusCase{"READ RECORD of an administrator's file",
                   {Verify, SelectTelecom, selectCommand(0x6F40)},
                   apdu(0xB2, 1, 4, 30),
                   0x9804},
        StatusCase{"READ RECORD beyond the file",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 6, 4, 30),
                   0x9402},
        StatusCase{"READ RECORD of the current record before there is one",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 0, 4, 30),
                   0x9402},
        StatusCase{"READ RECORD with a wrong length",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 1, 4, 29),
                   0x6700},
        StatusCase{"READ RECORD in an unknown mode",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 1, 5, 30),
                   0x6B00},
        StatusCase{"READ RECORD next with a record number",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xB2, 1, 2, 30),
                   0x6B00},
        StatusCase{"UPDATE RECORD beyond the file",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xDC, 6, 4, 30, Bytes(30, 0xFF)),
                   0x9402},
        StatusCase{"UPDATE RECORD with a wrong length",
                   {Verify, SelectTelecom, SelectPhonebook},
                   apdu(0xDC, 1, 4, 31, Bytes(31, 0xFF)),
                   0x6700},
        StatusCase{"READ BINARY from the end", {SelectIccid}, apdu(0xB0, 0, 10, 1), 0x9402},
        StatusCase{"READ BINARY past the end", {SelectIccid}, apdu(0xB0, 0, 2, 9), 0x6700},
        StatusCase{"READ BINARY with P1 bit 7", {SelectIccid}, apdu(0xB0, 0x80, 0, 1), 0x6B00},
        StatusCase{
            "UPDATE BINARY of the ICCID", {SelectIccid}, apdu(0xD6, 0, 0, 1, {0x11}), 0x9804},
        StatusCase{"READ BINARY of an invalidated file",
                   {selectCommand(0x2F05)},
                   apdu(0xB0, 0, 0, 2),
                   0x9810},
        StatusCase{"GET RESPONSE longer than the response",
                   {selectCommand(0x3F00)},
                   apdu(0xC0, 0, 0, 23),
                   0x6700},
        StatusCase{"GET RESPONSE with P1 set", {}, apdu(0xC0, 1, 0, 22), 0x6B00},
        StatusCase{
            "VERIFY CHV2, which is not initialised", {}, apdu(0x20, 0, 2, 8, code8("1")), 0x9802},
        StatusCase{"VERIFY an unknown code", {}, apdu(0x20, 0, 3, 8, code8("1")), 0x6B00},
        StatusCase{
            "VERIFY with a short code", {}, apdu(0x20, 0, 1, 4, {'1', '2', '3', '4'}), 0x6700},
        StatusCase{"DISABLE CHV2", {}, apdu(0x26, 0, 2, 8, code8("1234")), 0x6B00},
        StatusCase{"UNBLOCK CHV2", {}, apdu(0x2C, 0, 2, 16, Bytes(16, 0x31)), 0x9802},
        StatusCase{"UNBLOCK naming CHV1 as 01", {}, apdu(0x2C, 0, 1, 16, Bytes(16, 0x31)), 0x6B00}),
    [](const ::testing::TestParamInfo<StatusCase> &info) {
        return "Case" + std::to_string(info.index);
    });

// Record modes of GSM 11.11, 9.2.4: next and previous move the record pointer, absolute
// leaves it.
TEST(RecordModes, NextAndPreviousWalkTheFile) {
    VirtualSim sim(statusProfile());
    sim.transmit(Verify);
    sim.transmit(SelectTelecom);
    sim.transmit(SelectPhonebook);
    for (uint8_t number = 1; number <= 5; ++number) {
        Bytes record(30, 0xFF);
        record[0] = number;
        ASSERT_EQ(statusOf(sim.transmit(apdu(0xDC, number, 4, 30, record))), 0x9000);
    }
    auto firstByte = [&](uint8_t p1, uint8_t mode) {
        const auto answer = sim.transmit(apdu(0xB2, p1, mode, 30));
        return statusOf(answer) == 0x9000 ? dataOf(answer)[0] : 0;
    };
    EXPECT_EQ(firstByte(0, 2), 1);
    EXPECT_EQ(firstByte(0, 2), 2);
    EXPECT_EQ(firstByte(4, 4), 4);
    EXPECT_EQ(firstByte(0, 4), 2) << "absolute mode left the pointer";
    EXPECT_EQ(firstByte(0, 3), 1);
    EXPECT_EQ(statusOf(sim.transmit(apdu(0xB2, 0, 3, 30))), 0x9402);
    sim.transmit(SelectPhonebook);
    EXPECT_EQ(firstByte(0, 3), 5) << "previous after a selection starts at the last record";
    EXPECT_EQ(statusOf(sim.transmit(apdu(0xB2, 0, 2, 30))), 0x9402);
}

TEST(RecordModes, UpdateNextWritesTheFollowingRecord) {
    VirtualSim sim(statusProfile());
    sim.transmit(Verify);
    sim.transmit(SelectTelecom);
    sim.transmit(SelectPhonebook);
    sim.transmit(apdu(0xB2, 0, 2, 30));
    sim.transmit(apdu(0xB2, 0, 2, 30));
    ASSERT_EQ(statusOf(sim.transmit(apdu(0xDC, 0, 2, 30, Bytes(30, 0x33)))), 0x9000);
    EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 3), Bytes(30, 0x33));
    EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 2), Bytes(30, 0xFF));
}

TEST(TransparentFiles, ReadBinaryFromAnOffset) {
    VirtualSim sim(statusProfile());
    sim.transmit(SelectIccid);
    const auto answer = sim.transmit(apdu(0xB0, 0, 8, 2));
    EXPECT_EQ(statusOf(answer), 0x9000);
    EXPECT_EQ(dataOf(answer), (Bytes{0x54, 0x76}));
}

} // namespace
} // namespace velnor::test
