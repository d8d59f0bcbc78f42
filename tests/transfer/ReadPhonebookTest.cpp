#include "ReadFixture.h"

#include "files/ListFile.h"
#include "sim/PhonebookRecord.h"

namespace velnor::test {
namespace {

constexpr const char *kAdn = "3F00/7F10/6F3A";

class ReadPhonebook : public ReadFixture {
protected:
    // Ten records: 1 and 2 free, entries at 3, 4 and 7.
    void insertTenRecordCard(bool chv1Enabled = false) {
        insertCard({{kAdn,
                     30,
                     10,
                     {"", "", adnRecord("Anna", "0301234"), adnRecord("Bob {home}", "+4917012"), "",
                      "", adnRecord("Carl", "*#06#")}}},
                   chv1Enabled);
    }
};

TEST_F(ReadPhonebook, ListsEntriesInRecordOrderNumberedFromOne) {
    insertTenRecordCard();
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);

    EXPECT_EQ(column(session.cardPhonebook, 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(session.cardPhonebook, 1),
              (std::vector<std::string>{"Anna", "Bob {home}", "Carl"}));
    EXPECT_EQ(column(session.cardPhonebook, 2),
              (std::vector<std::string>{"0301234", "+4917012", "*#06#"}));
    EXPECT_EQ(session.card.alphaLength, 16u);
    EXPECT_TRUE(session.phonebookLoaded);
    EXPECT_EQ(session.cardPhonebookRowsRead, 3u);
    EXPECT_EQ(panes.panes[2], "Read 3 entries from 10 records");
    EXPECT_TRUE(commands.isEnabled(command::Write, CommandPlace::Toolbar));
    EXPECT_TRUE(commands.isEnabled(command::OpenFile, CommandPlace::Menu));
    EXPECT_EQ(worker.depth, 0);
    EXPECT_FALSE(worker.unbalanced);
    EXPECT_FALSE(progress.open);
    EXPECT_EQ(progress.upper, 10);

    // The backup is the list as read; the log has every record, free ones included.
    EXPECT_EQ(readFile(dir / "Phone.fph"), listFileText(session.cardPhonebook));
    const std::string log = readFile(dir / "phone.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10);
    EXPECT_EQ(log.substr(0, 62), std::string(60, 'F') + "\r\n");
}

// The largest phonebook a card can have: 254 records (numbers 01 to FE) of 255 bytes, names as
// long as they get.
TEST_F(ReadPhonebook, LargestCardGivesEveryEntryWhole) {
    std::vector<std::string> records;
    const std::string longName(241, 'x');
    for (int i = 0; i < 254; ++i) {
        const Bytes record = encodePhonebookRecord({longName, "+49170123456789012345"}, 255, false);
        records.push_back(CMyTools::hex2asc(record.data(), record.size()));
    }
    insertCard({{kAdn, 255, 254, records}});
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    ASSERT_EQ(session.cardPhonebook.rowCount(), 254u);
    EXPECT_EQ(session.card.alphaLength, 241u);
    EXPECT_EQ(session.cardPhonebook.cell(253, 1), longName);
    EXPECT_EQ(session.cardPhonebook.cell(253, 2), "+49170123456789012345");
    EXPECT_EQ(readFile(dir / "phone.log").size(), 254u * (2 * 255 + 2));
}

TEST_F(ReadPhonebook, TakeOverMovesTheEntriesToTheLocalList) {
    insertTenRecordCard();
    session.localPhonebook.appendRow({"1", "Bob {home}", "+4917012"});
    prompts.yesNo = {true};
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    ASSERT_EQ(prompts.ids(), (std::vector<int>{8023}));
    EXPECT_TRUE(session.cardPhonebook.empty());
    EXPECT_EQ(column(session.localPhonebook, 1),
              (std::vector<std::string>{"Bob {home}", "Anna", "Carl"}));
    EXPECT_EQ(column(session.localPhonebook, 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(session.localPhonebook.isChecked(1));
    EXPECT_TRUE(session.activePhonebook.local());
    EXPECT_EQ(panes.panes[2], "3 entries taken, 1 skipped as duplicates");
    // The backup holds what the card held, not what was left after the move.
    EXPECT_NE(readFile(dir / "Phone.fph").find("Carl"), std::string::npos);
}

// A read only reads, whatever the card: one that drops the 0x82 coding or will not have its
// phonebook changed is read like any other, and the 0x82 question is left to the next write.
TEST_F(ReadPhonebook, SendsNoUpdateWhateverTheCard) {
    struct Case {
        const char *name;
        CardQuirks quirks;
        const char *update;
    };
    const Case cases[] = {
        {"plain", {}, ""}, {"drops 0x82", {.drops82Coding = true}, ""}, {"update ADM", {}, "ADM"}};
    const std::vector<std::string> records = {adnRecord("Eve", "12345"), "",
                                              adnRecord("Carl", "3")};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        insertCard({{kAdn, 30, 250, records, "FF", c.update}});
        setQuirks(c.quirks);
        session.card.ucs82Unsupported = session.card.ucs82Probed = true;
        prompts.asked.clear();
        ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
        EXPECT_EQ(column(session.cardPhonebook, 1), (std::vector<std::string>{"Eve", "Carl"}));
        EXPECT_EQ(prompts.ids(), (std::vector<int>{8023}));
        EXPECT_EQ(card().instructionCount(0xDC), 0u);
        EXPECT_EQ(card().instructionCount(0xB2), 250u);
        EXPECT_LE(card().commandCount(), 250u + 12u);
        EXPECT_FALSE(session.card.ucs82Unsupported || session.card.ucs82Probed);
    }
}

TEST_F(ReadPhonebook, CancelKeepsWhatWasReadAndStillBacksUp) {
    insertTenRecordCard();
    progress.cancelAtStep = 4; // the user presses Cancel while record 4 is due
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Cancelled);
    EXPECT_EQ(column(session.cardPhonebook, 1), (std::vector<std::string>{"Anna"}));
    EXPECT_EQ(prompts.ids(), (std::vector<int>{0, 8023}));
    EXPECT_EQ(prompts.asked[0].text, "Progress Cancelled");
    EXPECT_EQ(readFile(dir / "Phone.fph"), listFileText(session.cardPhonebook));
    EXPECT_TRUE(session.phonebookLoaded);
}

TEST_F(ReadPhonebook, PresentsTheStoredPinAndStopsSilentlyWhenItIsRefused) {
    insertTenRecordCard(true);
    session.card.chv1Code = "1234";
    session.card.chv1CodeOwner = "89012345678901234567"; // the card that took the code
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    EXPECT_EQ(session.cardPhonebook.rowCount(), 3u);

    session.cardPhonebook.appendRow({"4", "kept", "1"});
    session.card.chv1Code = "9999";
    insertTenRecordCard(true);
    EXPECT_EQ(read(CardFile::Phonebook), ReadOutcome::Failed);
    EXPECT_EQ(session.cardPhonebook.rowCount(), 4u);
    EXPECT_TRUE(prompts.asked.empty() || prompts.ids() == std::vector<int>{8023});
    EXPECT_EQ(card().chv1().settings().attemptsLeft, 2);

    // Without a stored code nothing is offered, so no attempt is spent.
    session.card.chv1Code.clear();
    insertTenRecordCard(true);
    EXPECT_EQ(read(CardFile::Phonebook), ReadOutcome::Failed);
    EXPECT_EQ(card().instructionCount(0x20), 0u);
}

TEST_F(ReadPhonebook, MissingFileReportsAndKeepsTheList) {
    insertCard({});
    session.cardPhonebook.appendRow({"1", "kept", "1"});
    EXPECT_EQ(read(CardFile::Phonebook), ReadOutcome::Failed);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8073}));
    EXPECT_EQ(session.cardPhonebook.rowCount(), 1u);
    EXPECT_FALSE(session.phonebookLoaded);
    EXPECT_EQ(worker.depth, 0);
}

} // namespace
} // namespace velnor::test
