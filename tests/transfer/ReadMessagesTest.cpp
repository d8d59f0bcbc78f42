#include "ReadFixture.h"

#include "files/ListFile.h"
#include "sim/MessageCompose.h"

namespace velnor::test {
namespace {

constexpr const char *kSms = "3F00/7F10/6F3C";
constexpr const char *kSmsp = "3F00/7F10/6F42";
// Parameters record of 40 bytes (alpha length 12): indicators 0xFD say the service-centre
// address is present; +491710760000.
const std::string kSmspRecord = "FFFFFFFFFFFFFFFFFFFFFFFF"
                                "FD"
                                "FFFFFFFFFFFFFFFFFFFFFFFF"
                                "0791947101670000FFFFFF"
                                "FFFFFF";

class ReadMessages : public ReadFixture {
protected:
    std::string sentRecord(uint8_t statusByte, const std::string &text) {
        CardState state;
        const MessageImage image = composeMessageImage("+4917012", text, state);
        Bytes bytes(image.begin(), image.begin() + 176);
        bytes[0] = statusByte;
        return CMyTools::hex2asc(bytes.data(), bytes.size());
    }
};

TEST_F(ReadMessages, ListsEveryStatusWithItsColumnsAndKeepsTheRecords) {
    const std::vector<std::string> records = {deliverRecord(1),       "00",
                                              deliverRecord(3),       sentRecord(5, "sent {x}"),
                                              sentRecord(7, "draft"), "06"};
    insertCard({{kSms, 176, 8, records, "00"}, {kSmsp, 40, 1, {kSmspRecord}}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);

    const RowList &rows = session.messages.rows();
    EXPECT_EQ(column(rows, 0), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(column(rows, 1), (std::vector<std::string>{"Read", "Unread", "Sent", "Not sent"}));
    EXPECT_EQ(column(rows, 2),
              (std::vector<std::string>{"+4917123456", "+4917123456", "+4917012", "+4917012"}));
    EXPECT_EQ(column(rows, 3),
              (std::vector<std::string>{"2008-04-12 13:45:20", "2008-04-12 13:45:20", "", ""}));
    EXPECT_EQ(column(rows, 4), (std::vector<std::string>{"hello", "hello", "sent {x}", "draft"}));
    EXPECT_EQ(session.card.smscNumber, "491710760000");
    EXPECT_EQ(session.card.smscTypeOfAddress, 0x91);
    EXPECT_TRUE(session.messagesLoaded);
    EXPECT_EQ(panes.panes[2], "Read 4 messages from 8 records");

    // Each store element is the card record, zero after it.
    ASSERT_EQ(session.messages.size(), 4u);
    const Bytes third = *cardRecord(kSms, 4);
    EXPECT_TRUE(std::equal(third.begin(), third.end(), session.messages.store()[2].begin()));
    EXPECT_EQ(session.messages.store()[2][176], 0);
    EXPECT_EQ(readFile(dir / "Message.fsm"), listFileText(rows));
    const std::string log = readFile(dir / "sms.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 8);
}

TEST_F(ReadMessages, ServiceCentreAbsentOrUnreadable) {
    // Indicators with bit 1 set: no address stored; the defaults stay.
    std::string noCentre = kSmspRecord;
    noCentre.replace(24, 2, "FF");
    insertCard({{kSms, 176, 2, {deliverRecord(1)}, "00"}, {kSmsp, 40, 1, {noCentre}}});
    session.card.smscNumber = "stale";
    session.card.smscTypeOfAddress = 0x81;
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    EXPECT_EQ(session.card.smscNumber, "");
    EXPECT_EQ(session.card.smscTypeOfAddress, 0x91);

    insertCard({{kSms, 176, 2, {deliverRecord(1)}}});
    EXPECT_EQ(read(CardFile::Messages), ReadOutcome::Failed);
    EXPECT_EQ(prompts.ids().back(), 8073);
    EXPECT_TRUE(session.messages.rows().empty()); // emptied as soon as the read began
}

TEST_F(ReadMessages, CdmaCardReadsItsOwnDirectoryAndKeepsItsRecordLength) {
    const Bytes cdma = CMyTools::encodesms("Hello from CDMA", "5551234");
    std::vector<std::string> records = {CMyTools::hex2asc(cdma.data(), cdma.size())};
    insertCard({{"3F00/7F25/6F3C", 255, 3, records, "00"}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    EXPECT_TRUE(session.card.isCdmaCard);
    EXPECT_EQ(session.card.messageRecordLength, 255u);
    EXPECT_EQ(column(session.messages.rows(), 4), (std::vector<std::string>{"Hello from CDMA"}));
    EXPECT_EQ(column(session.messages.rows(), 2), (std::vector<std::string>{"5551234"}));

    // A CDMA card in a reader that cannot reach it.
    session.reader.readerCdmaCapable = false;
    EXPECT_EQ(read(CardFile::Messages), ReadOutcome::Failed);
    EXPECT_EQ(prompts.ids().back(), 8073);

    // The next card's read gives its own.
    session.reader.readerCdmaCapable = true;
    insertCard({{kSms, 176, 1, {}, "00"}, {kSmsp, 40, 1, {kSmspRecord}}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    EXPECT_FALSE(session.card.isCdmaCard);
    EXPECT_EQ(session.card.messageRecordLength, 176u);
}

TEST_F(ReadMessages, UndecodableRecordStillGetsItsRowAndKeepsItsBytes) {
    insertCard({{kSms, 176, 1, {"01FFFFFF"}, "00"}, {kSmsp, 40, 1, {kSmspRecord}}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    ASSERT_EQ(session.messages.size(), 1u);
    EXPECT_EQ(session.messages.rows().cell(0, 1), "Read");
    EXPECT_EQ(session.messages.rows().cell(0, 4), "");
    EXPECT_EQ(session.messages.store()[0][0], 0x01);
}

TEST_F(ReadMessages, FailureInTheLoopKeepsRowsButWritesNoBackup) {
    insertCard({{kSms, 176, 4, {deliverRecord(1), deliverRecord(3), deliverRecord(1)}, "00"},
                {kSmsp, 40, 1, {kSmspRecord}}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    const unsigned total = card().commandCount();
    std::filesystem::remove(dir / "Message.fsm");
    insertCard({{kSms, 176, 4, {deliverRecord(1), deliverRecord(3), deliverRecord(1)}, "00"},
                {kSmsp, 40, 1, {kSmspRecord}}});
    setQuirks({.failAtCommand = total - 1}); // record 3 of 4
    EXPECT_EQ(read(CardFile::Messages), ReadOutcome::Failed);
    EXPECT_EQ(session.messages.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(dir / "Message.fsm"));
    EXPECT_FALSE(session.messagesLoaded);
    EXPECT_EQ(worker.depth, 0);
}

} // namespace
} // namespace velnor::test
