#include "card/DemoProfile.h"
#include "card/EfAdn.h"
#include "codec/CMyTools.h"
#include "files/ListFile.h"
#include "records/MessageCompose.h"
#include "support/CardFixture.h"

namespace velnor::test {
namespace {

using Strings = std::vector<std::string>;

class CardRead : public CardFixture {
protected:
    // Ten records: 1 and 2 free, entries at 3, 4 and 7.
    void insertTenRecordCard(const std::string &update = "") {
        const Strings records = {
            "", "", adnRecord("Anna", "0301234"), adnRecord("Bob {home}", "+4917012"),
            "", "", adnRecord("Carl", "*#06#")};
        insertCard({{kAdnPath, 30, 10, records, "FF", update}});
    }
    static std::string sentRecord(uint8_t statusByte, const std::string &text) {
        CardState state;
        MessageImage image = composeMessageImage("+4917012", text, state);
        image[0] = statusByte;
        return CMyTools::hex2asc(image.data(), 176);
    }
};

// A read only reads, whatever the card: one that drops the 0x82 coding or will not have its
// phonebook changed is read like any other, and the 0x82 question is left to the next write.
TEST_F(CardRead, PhonebookListsEntriesInRecordOrderAndChangesNothing) {
    const struct {
        CardQuirks quirks;
        const char *update;
    } cases[] = {{{}, ""}, {{.drops82Coding = true}, ""}, {{}, "ADM"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.update);
        insertTenRecordCard(c.update);
        setQuirks(c.quirks);
        session.card.ucs82Unsupported = session.card.ucs82Probed = true;
        prompts.asked.clear();
        const ReadResult result = readCard(session, env, CardFile::Phonebook);
        ASSERT_EQ(result.outcome, ReadOutcome::Done);

        EXPECT_EQ(column(session.cardPhonebook, 0), (Strings{"1", "2", "3"}));
        EXPECT_EQ(column(session.cardPhonebook, 1), (Strings{"Anna", "Bob {home}", "Carl"}));
        EXPECT_EQ(column(session.cardPhonebook, 2), (Strings{"0301234", "+4917012", "*#06#"}));
        EXPECT_EQ(result.rows, 3u);
        EXPECT_EQ(result.records, 10u);
        EXPECT_EQ(panes.panes[2], "Read 3 entries from 10 records");
        EXPECT_EQ(prompts.ids(), (std::vector<int>{8023}));
        EXPECT_EQ(progress.upper, 10);
        expectWorkerBack();
        EXPECT_EQ(card().instructionCount(0xDC), 0u);
        EXPECT_EQ(card().instructionCount(0xB2), 10u);
        EXPECT_LE(card().commandCount(), 10u + 12u);
        EXPECT_FALSE(session.card.ucs82Unsupported || session.card.ucs82Probed);

        // The backup is the list as read; the log has every record, free ones included.
        EXPECT_EQ(readFile(dir / "Phone.fph"), listFileText(session.cardPhonebook));
        const std::string log = readFile(dir / "phone.log");
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10);
        EXPECT_EQ(log.substr(0, 62), kFreeAdn + "\r\n");
    }
}

// The largest phonebook a card can have: 254 records (numbers 01 to FE) of 255 bytes, names as
// long as they get.
TEST_F(CardRead, LargestPhonebookGivesEveryEntryWhole) {
    const std::string longName(241, 'x');
    const Bytes record = EfAdn::encode(PhoneEntry{longName, "+49170123456789012345"}, 255, false);
    insertCard({{kAdnPath, 255, 254, Strings(254, CMyTools::hex2asc(record.data(), 255))}});
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    ASSERT_EQ(session.cardPhonebook.rowCount(), 254u);
    EXPECT_EQ(session.card.alphaLength, 241u);
    EXPECT_EQ(session.cardPhonebook.cell(253, 1), longName);
    EXPECT_EQ(session.cardPhonebook.cell(253, 2), "+49170123456789012345");
    EXPECT_EQ(readFile(dir / "phone.log").size(), 254u * (2 * 255 + 2));
}

TEST_F(CardRead, TakeOverMovesTheEntriesToTheLocalList) {
    insertTenRecordCard();
    session.localPhonebook.appendRow({"1", "Bob {home}", "+4917012"});
    prompts.yesNo = {true};
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    EXPECT_TRUE(session.cardPhonebook.empty());
    EXPECT_EQ(column(session.localPhonebook, 1), (Strings{"Bob {home}", "Anna", "Carl"}));
    EXPECT_TRUE(session.localPhonebook.isChecked(1));
    EXPECT_EQ(panes.panes[2], "3 entries taken, 1 skipped as duplicates");
    // The backup holds what the card held, not what was left after the move.
    EXPECT_NE(readFile(dir / "Phone.fph").find("Carl"), std::string::npos);
}

// Both demo UICCs: every ADN set of the USIM phonebook with the e-mails (through EF IAP) and
// additional numbers of its entries, which the take-over keeps in the local list.
TEST_F(CardRead, UsimPhonebookGivesEverySetWithItsFields) {
    const Strings titles = {"No.", "Name", "Number", "E-mail", "Additional number", "Second name"};
    for (const CardKind kind : {CardKind::UiccWithUsim, CardKind::UsimOnly}) {
        host = SimulatedCards::instance().insertInMemory(path, makeDemoCard(false, kind));
        session.card.cardKind = kind;
        session.localPhonebook = RowList(titles);
        session.cardPhonebook = RowList(titles);
        prompts.yesNo = {true};
        ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
        const RowList &local = session.localPhonebook;
        ASSERT_EQ(local.rowCount(), 280u);
        EXPECT_EQ(local.rowCells(3),
                  (Strings{"4", "Mike {Work}", "0301234567", "contact4@example.org", "", ""}));
        EXPECT_EQ(local.cell(6, column::AdditionalNumber), "+49305550007");
        EXPECT_EQ(local.cell(279, column::Name), "Contact 280");
    }
}

TEST_F(CardRead, CancelKeepsWhatWasReadAndStillBacksUp) {
    insertTenRecordCard();
    progress.cancelAtStep = 4; // the user presses Cancel while record 4 is due
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Cancelled);
    EXPECT_EQ(column(session.cardPhonebook, 1), (Strings{"Anna"}));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8023}));
    EXPECT_EQ(readFile(dir / "Phone.fph"), listFileText(session.cardPhonebook));
    EXPECT_TRUE(session.phonebookLoaded);
}

// Every status gets its row, an undecodable record too; each store element is the card record,
// zero after it.
TEST_F(CardRead, MessagesListEveryStatusAndKeepTheRecords) {
    insertCard({{kSmsPath,
                 176,
                 9,
                 {smsRecord(1), "00", smsRecord(3), sentRecord(5, "sent {x}"),
                  sentRecord(7, "draft"), "06", "01FFFFFF"},
                 "00"},
                {kSmspPath, 40, 1, {kSmspRecord}}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);

    const RowList &rows = session.messages.rows();
    EXPECT_EQ(column(rows, 0), (Strings{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(column(rows, 1), (Strings{"Read", "Unread", "Sent", "Not sent", "Read"}));
    auto firstFour = [&](size_t c) {
        const Strings all = column(rows, c);
        return Strings(all.begin(), all.begin() + std::min<size_t>(all.size(), 4));
    };
    EXPECT_EQ(firstFour(2), (Strings{"+4917123456", "+4917123456", "+4917012", "+4917012"}));
    EXPECT_EQ(firstFour(3), (Strings{"2008-04-12 13:45:20", "2008-04-12 13:45:20", "", ""}));
    EXPECT_EQ(column(rows, 4), (Strings{"hello", "hello", "sent {x}", "draft", ""}));
    EXPECT_EQ(session.card.smscNumber, "491710760000");
    EXPECT_EQ(session.card.smscTypeOfAddress, 0x91);
    EXPECT_TRUE(session.messagesLoaded);
    EXPECT_EQ(panes.panes[2], "Read 5 messages from 9 records");
    const Strings records = cardRecords(kSmsPath, 9);
    ASSERT_EQ(session.messages.size(), 5u);
    EXPECT_EQ(CMyTools::hex2asc(session.messages.store()[2].data(), 177), records[3] + "00");
    EXPECT_EQ(CMyTools::hex2asc(session.messages.store()[4].data(), 176), records[6]);
    EXPECT_EQ(readFile(dir / "Message.fsm"), listFileText(rows));
    const std::string log = readFile(dir / "sms.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 9);
}

TEST_F(CardRead, ServiceCentreAbsentOrUnreadable) {
    // Indicators with bit 1 set: no address stored; the defaults stay.
    std::string noCentre = kSmspRecord;
    noCentre.replace(24, 2, "FF");
    insertCard({{kSmsPath, 176, 2, {smsRecord(1)}, "00"}, {kSmspPath, 40, 1, {noCentre}}});
    session.card.smscNumber = "stale";
    session.card.smscTypeOfAddress = 0x81;
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    EXPECT_EQ(session.card.smscNumber, "");
    EXPECT_EQ(session.card.smscTypeOfAddress, 0x91);

    insertCard({{kSmsPath, 176, 2, {smsRecord(1)}}});
    EXPECT_EQ(read(CardFile::Messages), ReadOutcome::Failed);
    EXPECT_EQ(prompts.ids().back(), 8073);
    EXPECT_TRUE(session.messages.rows().empty()); // emptied as soon as the read began
}

} // namespace
} // namespace velnor::test
