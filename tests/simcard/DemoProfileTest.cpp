#include <gtest/gtest.h>

#include <cstring>

#include "SimTestSupport.h"
#include "codec/CMyTools.h"
#include "simcard/DemoProfile.h"

namespace velnor::test {
namespace {

constexpr size_t AlphaLength = 16;

// The name of a phonebook record the way a reader decodes it: by the first byte's coding.
std::string decodeName(const Bytes &record, std::string &coding) {
    const uint8_t *alpha = record.data();
    switch (alpha[0]) {
    case 0x80: {
        size_t end = AlphaLength;
        while (end > 1 && alpha[end - 1] == 0xFF) {
            --end;
        }
        end += (end - 1) % 2; // whole UCS2 characters
        coding = "0x80";
        return CMyTools::gsmDecodeUcs2(alpha + 1, end - 1);
    }
    case 0x81:
        coding = "0x81";
        return CMyTools::UCS2ToGB81(alpha + 1, AlphaLength - 1);
    case 0x82:
        coding = "0x82";
        return CMyTools::UCS2ToGB82(alpha + 1, AlphaLength - 1);
    default: {
        size_t end = AlphaLength;
        while (end > 0 && alpha[end - 1] == 0xFF) {
            --end;
        }
        coding = "gsm";
        return CMyTools::gsm2asc(alpha, end);
    }
    }
}

std::string decodeNumber(const Bytes &record) {
    const uint8_t length = record[AlphaLength];
    const std::string digits = CMyTools::bcd2asc(record.data() + AlphaLength + 2, length - 1u);
    return (record[AlphaLength + 1] == 0x91 ? "+" : "") + digits;
}

class DemoCard : public ::testing::TestWithParam<bool> {
protected:
    CardProfile card() const {
        ProfileResult loaded = parseCardProfile(makeDemoProfile(GetParam()));
        EXPECT_TRUE(loaded.profile) << loaded.error;
        return loaded.profile ? *loaded.profile : CardProfile();
    }
};

TEST_P(DemoCard, ProfileTextReadsBackToTheSameCard) {
    const CardProfile built = makeDemoCard(GetParam());
    const CardProfile read = card();
    ASSERT_EQ(read.files.nodeCount(), built.files.nodeCount());
    for (CardFileSystem::Node node = 0; node < built.files.nodeCount(); ++node) {
        EXPECT_EQ(read.files.pathText(node), built.files.pathText(node));
        EXPECT_EQ(read.files.content(node), built.files.content(node))
            << built.files.pathText(node);
    }
    EXPECT_EQ(read.chv1, built.chv1);
    EXPECT_EQ(CMyTools::hex2asc(read.atr.data(), read.atr.size()), DefaultAtrHex);
}

TEST_P(DemoCard, HasTheIdentityAndADisabledPin) {
    VirtualSim sim(card());
    sim.transmit(selectCommand(0x3F00));
    const Bytes master = dataOf(sim.transmit(apdu(0xC0, 0, 0, 22)));
    ASSERT_EQ(master.size(), 22u);
    EXPECT_TRUE(master[13] & 0x80) << "CHV1 disabled";
    EXPECT_EQ(master[18], 0x83) << "initialised, 3 attempts";
    EXPECT_EQ(statusOf(sim.transmit(selectCommand(0x2FE2))), 0x9F0F);
    const Bytes iccid = dataOf(sim.transmit(apdu(0xB0, 0, 0, 10)));
    EXPECT_EQ(CMyTools::bcd2asc(iccid.data(), iccid.size()), "89012345678901234567");
    // The PIN is there: enabling it needs the right code.
    EXPECT_EQ(statusOf(sim.transmit(apdu(0x28, 0, 1, 8, code8("1234")))), 0x9000);
}

TEST_P(DemoCard, HasTheGsmFilesOfEverySim) {
    VirtualSim sim(card());
    // The mandatory files of DF GSM (GSM 11.11, 10.3): identifier, size, access condition byte
    // (read, update) of the status response. The IMSI is read after CHV1, changed by no user.
    struct Expected {
        uint16_t id;
        size_t size;
        uint8_t access;
    };
    const Expected expected[] = {{0x6F05, 2, 0x01}, {0x6F07, 9, 0x14},  {0x6F20, 9, 0x11},
                                 {0x6F31, 1, 0x14}, {0x6F38, 5, 0x14},  {0x6F74, 16, 0x11},
                                 {0x6F78, 2, 0x14}, {0x6F7B, 12, 0x11}, {0x6F7E, 11, 0x11},
                                 {0x6FAD, 4, 0x04}, {0x6FAE, 1, 0x04}};
    ASSERT_EQ(statusOf(sim.transmit(selectCommand(0x7F20))), 0x9F16);
    for (const Expected &file : expected) {
        EXPECT_EQ(statusOf(sim.transmit(selectCommand(file.id))), 0x9F0F) << std::hex << file.id;
        const Bytes status = dataOf(sim.transmit(apdu(0xC0, 0, 0, 15)));
        EXPECT_EQ(status[2] << 8 | status[3], file.size) << std::hex << file.id;
        EXPECT_EQ(status[8], file.access) << std::hex << file.id;
    }
    // IMSI 001 01 0123456789 behind its length and the odd-count nibble 9 (GSM 11.11, 10.3.2).
    sim.transmit(selectCommand(0x6F07));
    const Bytes imsi = dataOf(sim.transmit(apdu(0xB0, 0, 0, 9)));
    ASSERT_EQ(imsi.size(), 9u);
    EXPECT_EQ(imsi[0], 8);
    EXPECT_EQ(CMyTools::bcd2asc(imsi.data() + 1, 8), "9001010123456789");
}

TEST_P(DemoCard, PhonebookHoldsEntriesInEveryCoding) {
    VirtualSim sim(card());
    struct Expected {
        size_t record;
        const char *name;
        const char *coding;
        const char *number;
    };
    const Expected expected[] = {
        {3, "Jürgen Weiß", "gsm", "+4915112345678"},
        {4, "Mike {Work}", "gsm", "0301234567"},
        {6, "Büro [Main]", "gsm", "+49301234567"},
        {7, "张伟", "0x80", "+8613912345678"},
        {9, "Иван Петров", "0x81", "+79161234567"},
        {10, "Νίκος Παππάς", "0x81", "+306912345678"},
        {12, "陈阳", "0x82", "+8613812345678"},
        {13, "王玉珍", "0x82", "+886912345678"},
        {15, "Balance", "gsm", "*100#"},
        {16, "Call fwd off", "gsm", "##002#"},
    };
    for (const Expected &entry : expected) {
        const auto record = sim.record("3F00/7F10/6F3A", entry.record);
        ASSERT_TRUE(record);
        ASSERT_EQ(record->size(), 30u);
        std::string coding;
        EXPECT_EQ(decodeName(*record, coding), entry.name) << "record " << entry.record;
        EXPECT_EQ(coding, entry.coding) << entry.name;
        EXPECT_EQ(decodeNumber(*record), entry.number) << entry.name;
    }
    for (size_t empty : {1, 2, 5, 8, 11, 250}) {
        EXPECT_EQ(*sim.record("3F00/7F10/6F3A", empty), Bytes(30, 0xFF)) << empty;
    }
    size_t entries = 0;
    for (size_t number = 1; number <= 250; ++number) {
        const uint8_t length = (*sim.record("3F00/7F10/6F3A", number))[AlphaLength];
        entries += length >= 1 && length <= 11;
    }
    EXPECT_EQ(entries, 13u);
}

TEST_P(DemoCard, MessagesOfEveryStatusDecode) {
    VirtualSim sim(card());
    struct Expected {
        size_t record;
        uint8_t status;
        const char *number;
        const char *text; // a part of it
        uint8_t concatSequence;
    };
    const Expected expected[] = {
        {1, 1, "4917612345678", "dinner tonight", 0},
        {3, 3, "491711234567", "23,50€ {ref [A-17]} ~ |thanks|", 0},
        {4, 3, "8613812345678", "你好", 0},
        {5, 1, "79161234567", "Привет", 0},
        {7, 1, "Vodafone", "*100#", 0},
        {8, 3, "4915112345678", "Hello from Berlin", 1},
        {9, 3, "4915112345678", "Love, Anna", 2},
        {10, 5, "4917612345678", "See you at 8", 0},
        {11, 7, "0301234567", "call me back", 0},
        {13, 5, "79161234567", "Спасибо", 0},
    };
    for (const Expected &message : expected) {
        const Bytes record = *sim.record("3F00/7F10/6F3C", message.record);
        ASSERT_EQ(record.size(), 176u);
        EXPECT_EQ(record[0], message.status);
        SM_PARAM param;
        ASSERT_TRUE(CMyTools::gsmDecodePdu(record.data() + 1, record.size() - 1, param,
                                           (message.status & 0x04) == 0))
            << "record " << message.record;
        EXPECT_EQ(param.number, message.number);
        EXPECT_NE(param.text.find(message.text), std::string::npos) << param.text;
        EXPECT_EQ(param.smsc, "491710760000");
        EXPECT_EQ(param.concat.sequence, message.concatSequence);
    }
    size_t free = 0;
    for (size_t number = 1; number <= 30; ++number) {
        free += ((*sim.record("3F00/7F10/6F3C", number))[0] & 0x01) == 0;
    }
    EXPECT_EQ(free, 20u);
}

TEST_P(DemoCard, ServiceCentreIsStored) {
    VirtualSim sim(card());
    const Bytes record = *sim.record("3F00/7F10/6F42", 1);
    ASSERT_EQ(record.size(), 40u);
    const size_t y = 12;
    EXPECT_FALSE(record[y] & 0x02) << "a service centre is present";
    EXPECT_EQ(record[y + 14], 0x91);
    EXPECT_EQ(CMyTools::bcd2asc(record.data() + y + 15, record[y + 13] - 1u), "491710760000");
}

TEST_P(DemoCard, CdmaDirectoryOnlyOnTheCdmaCard) {
    VirtualSim sim(card());
    EXPECT_EQ(statusOf(sim.transmit(selectCommand(0x7F25))), GetParam() ? 0x9F16 : 0x9404);
    if (!GetParam()) {
        return;
    }
    struct Expected {
        size_t record;
        uint8_t status;
        const char *number;
        const char *text;
    };
    const Expected expected[] = {
        {1, 1, "6195551234", "Meeting moved to 3pm, room 204."},
        {3, 3, "13812345678", "你好！周末一起吃饭吗？"},
        {4, 7, "6195551234", "Running late, I will be there in 10 minutes."},
        {5, 5, "6195551234", "Thanks for the update, see you Monday."},
    };
    for (const Expected &message : expected) {
        const Bytes record = *sim.record("3F00/7F25/6F3C", message.record);
        ASSERT_EQ(record.size(), 255u);
        EXPECT_EQ(record[0], message.status);
        SM_PARAM param;
        ASSERT_TRUE(CMyTools::cdmaDecodePdu(record.data() + 1, record.size() - 1, param,
                                            (message.status & 0x04) == 0));
        EXPECT_EQ(param.number, message.number);
        EXPECT_EQ(param.text, message.text);
    }
    SM_PARAM first;
    const Bytes record = *sim.record("3F00/7F25/6F3C", 1);
    CMyTools::cdmaDecodePdu(record.data() + 1, record.size() - 1, first, true);
    const uint8_t time[] = {0x24, 0x03, 0x15, 0x10, 0x20, 0x30};
    EXPECT_EQ(std::memcmp(first.timeStamp, time, sizeof time), 0);
}

INSTANTIATE_TEST_SUITE_P(GsmAndCdma, DemoCard, ::testing::Bool());

} // namespace
} // namespace velnor::test
