#include "WriteFixture.h"

#include "files/ListFile.h"
#include "sim/MessageEdit.h"

namespace velnor::test {
namespace {

const std::string kZeros176(352, '0');
// GSM 11.11, 10.5.3: a free record is status 0, the rest 0xFF.
const std::string kFree176 = "00" + std::string(350, 'F');

class WriteMessages : public WriteFixture {
protected:
    void insertFiveRecordCard() {
        original = {deliverRecord(1), deliverRecord(3), kZeros176, deliverRecord(1), kZeros176};
        for (std::string &record : original) {
            record.resize(352, '0');
        }
        insertCard({{kSmsPath, 176, 5, original, "00"}});
    }
    std::string storeImage(size_t i) {
        return CMyTools::hex2asc(session.messages.store()[i].data(), 176);
    }

    std::vector<std::string> original;
};

TEST_F(WriteMessages, WritesTheStoreThenTheRestAsFreeRecords) {
    insertFiveRecordCard();
    MessageImage received{};
    received[0] = 3;
    received[1] = 0x07;
    received[175] = 0xAA; // the last byte of the record goes too
    received[176] = 0xBB; // nothing after the record does
    session.messages.append({"1", "Unread", "+49", "t", "x"}, received);
    appendComposedMessage(session.messages, "+4930", "new", session.card, texts);
    prompts.yesNo = {true};
    std::vector<int> waits;
    timing.messageUpdate = 7;
    timing.sleeper = [&](int ms) { waits.push_back(ms); };

    const WriteResult result = write(CardFile::Messages);
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    EXPECT_EQ(cardRecords(kSmsPath, 5), (std::vector<std::string>{storeImage(0), storeImage(1),
                                                                  kFree176, kFree176, kFree176}));
    EXPECT_EQ(cardRecords(kSmsPath, 1)[0].substr(350), "AA");
    ASSERT_EQ(prompts.ids(), (std::vector<int>{8039, 8041}));
    EXPECT_EQ(prompts.asked[0].text, "Write 2 messages to the card? The remaining 3 message "
                                     "records on the card will be cleared.");
    EXPECT_EQ(prompts.asked[1].text, "Wrote 5 message records, 2 of them with messages");
    EXPECT_EQ(panes.panes[2], "Wrote 5 message records, 2 of them with messages");
    EXPECT_EQ(readFile(dir / "Message.fsm"), listFileText(session.messages.rows()));
    EXPECT_EQ(waits, std::vector<int>(5, 7)); // one pause after every message record
    EXPECT_EQ(backupRecords(result.cardBackup), original);
    expectWorkerBack();
}

TEST_F(WriteMessages, EmptyListAsksAndClearsEveryRecord) {
    insertFiveRecordCard();
    prompts.yesNo = {true};
    ASSERT_EQ(write(CardFile::Messages).outcome, WriteOutcome::Done);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8077, 8041}));
    EXPECT_EQ(cardRecords(kSmsPath, 5), std::vector<std::string>(5, kFree176));
}

TEST_F(WriteMessages, CdmaCardNeedsACdmaReader) {
    const Bytes cdma = CMyTools::encodesms("old", "5551234");
    const std::string old = CMyTools::hex2asc(cdma.data(), cdma.size());
    insertCard({{kCdmaSmsPath, 255, 2, {old}, "00"}});
    session.card.isCdmaCard = true;
    appendComposedMessage(session.messages, "5550000", "new", session.card, texts);
    session.reader.readerCdmaCapable = false;
    prompts.yesNo = {true};
    EXPECT_EQ(write(CardFile::Messages).outcome, WriteOutcome::Failed);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8073}));
    EXPECT_EQ(card().instructionCount(0xDC), 0u);

    session.reader.readerCdmaCapable = true;
    prompts.yesNo = {true};
    const WriteResult result = write(CardFile::Messages);
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    EXPECT_EQ(cardRecords(kCdmaSmsPath, 1)[0],
              CMyTools::hex2asc(session.messages.store()[0].data(), 255));
    EXPECT_EQ(cardRecords(kCdmaSmsPath, 2)[1], "00" + std::string(508, 'F'));
    std::string error;
    EXPECT_EQ(loadCardBackup(result.cardBackup, error)->filePath, kCdmaSmsPath);
}

} // namespace
} // namespace velnor::test
