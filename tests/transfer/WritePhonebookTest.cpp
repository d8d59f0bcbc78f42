#include "WriteFixture.h"

#include "files/ListFile.h"
#include "sim/PhonebookRecord.h"

namespace velnor::test {
namespace {

const std::string kFree(60, 'F');

class WritePhonebook : public WriteFixture {
protected:
    // Ten records with entries at 1, 2 and 5.
    void insertTenRecordCard(bool chv1Enabled = false) {
        original = {adnRecord("Old One", "111"),
                    adnRecord("Old Two", "222"),
                    kFree,
                    kFree,
                    adnRecord("Old Five", "555"),
                    kFree,
                    kFree,
                    kFree,
                    kFree,
                    kFree};
        insertCard({{kAdnPath, 30, 10, original}}, chv1Enabled);
    }
    void addRows(std::initializer_list<std::pair<const char *, const char *>> rows) {
        for (const auto &[name, number] : rows) {
            session.cardPhonebook.appendRow(
                {std::to_string(session.cardPhonebook.rowCount() + 1), name, number});
        }
    }
    std::string rowImage(size_t row) {
        const RowList &list = session.cardPhonebook;
        const Bytes image = encodePhonebookRecord({list.cell(row, 1), list.cell(row, 2)}, 30,
                                                  session.card.ucs82Unsupported);
        return CMyTools::hex2asc(image.data(), image.size());
    }

    std::vector<std::string> original;
};

TEST_F(WritePhonebook, WritesTheRowsThenClearsTheRest) {
    insertTenRecordCard();
    addRows({{"Anna", "+4930123"}, {"Bob {home}", ""}, {"\xE7\x8E\x8B\xE8\x8A\xB3", "*#06#"}});
    prompts.yesNo = {true};
    const WriteResult result = write(CardFile::Phonebook);
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    EXPECT_EQ(result.recordsWritten, 10u);

    std::vector<std::string> expected = {rowImage(0), rowImage(1), rowImage(2)};
    expected.resize(10, kFree);
    EXPECT_EQ(cardRecords(kAdnPath, 10), expected);

    ASSERT_EQ(prompts.ids(), (std::vector<int>{8033, 8032}));
    EXPECT_EQ(prompts.asked[0].text,
              "Write 3 entries to the card? The remaining 7 records on the card will be cleared.");
    EXPECT_EQ(prompts.asked[1].text, "Wrote 10 records, 3 of them with entries");
    EXPECT_EQ(panes.panes[2], "Wrote 10 records, 3 of them with entries");
    EXPECT_EQ(status.memory().progress.id, 8032);
    EXPECT_EQ(readFile(dir / "Phone.fph"), listFileText(session.cardPhonebook));
    EXPECT_EQ(session.cardPhonebook.rowCount(), 3u); // writing leaves the list as it is
    EXPECT_EQ(progress.upper, 10);
    EXPECT_FALSE(session.card.ucs82Probed) << "no name needed the 0x82 coding";
    expectWorkerBack();

    // The card's records as they were are kept under the card's name.
    ASSERT_EQ(cardBackups().size(), 1u);
    EXPECT_EQ(result.cardBackup, cardBackups()[0]);
    EXPECT_EQ(backupRecords(result.cardBackup), original);
}

TEST_F(WritePhonebook, EmptyListAsksToClearTheCard) {
    insertTenRecordCard();
    prompts.yesNo = {true};
    ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8077, 8032}));
    EXPECT_EQ(cardRecords(kAdnPath, 10), std::vector<std::string>(10, kFree));
    EXPECT_EQ(readFile(dir / "Phone.fph"), "No.,Name,Number,\r\n");
}

TEST_F(WritePhonebook, MoreRowsThanRecordsWritesTheFirstOnes) {
    insertCard({{kAdnPath, 30, 250, {}}});
    for (int i = 1; i <= 300; ++i) {
        session.cardPhonebook.appendRow({std::to_string(i), "N" + std::to_string(i), "1"});
    }
    prompts.yesNo = {true};
    ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);
    ASSERT_EQ(prompts.ids(), (std::vector<int>{8033, 8076, 8032}));
    EXPECT_EQ(prompts.asked[0].text,
              "Write 250 entries to the card? The remaining 0 records on the card will be "
              "cleared.");
    EXPECT_EQ(prompts.asked[1].text,
              "The card holds only 250 records. Only the first 250 rows will be written.");
    EXPECT_EQ(cardRecords(kAdnPath, 250).back(), rowImage(249));
    EXPECT_EQ(prompts.asked[2].text, "Wrote 250 records, 250 of them with entries");
}

TEST_F(WritePhonebook, NoLeavesTheCardAsItWas) {
    insertTenRecordCard();
    addRows({{"Anna", "1"}});
    const WriteResult result = write(CardFile::Phonebook);
    EXPECT_EQ(result.outcome, WriteOutcome::Declined);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8033}));
    EXPECT_EQ(card().instructionCount(0xDC), 0u);
    EXPECT_TRUE(cardBackups().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "Phone.fph"));
    expectWorkerBack();
}

// The first record whose name needs the 0x82 coding asks the card, in its turn and once the card
// backup holds it: written so and read back. A card that drops the coding gets such names in
// 0x80. The answer stands for the next write, which asks nothing.
TEST_F(WritePhonebook, FirstNameIn82CodingAsksTheCard) {
    for (const bool drops : {false, true}) {
        SCOPED_TRACE(drops ? "drops 0x82" : "keeps 0x82");
        insertTenRecordCard();
        setQuirks({.drops82Coding = drops});
        session.card.ucs82Unsupported = session.card.ucs82Probed = false;
        session.cardPhonebook.clear();
        // "가각" and "갂갃": 0x82 fits, 0x81 does not.
        addRows(
            {{"Anna", "1"}, {"\xEA\xB0\x80\xEA\xB0\x81", "2"}, {"\xEA\xB0\x82\xEA\xB0\x83", "3"}});
        for (const unsigned asked : {1u, 0u}) {
            card().powerOn(); // counts commands afresh
            prompts.yesNo = {true};
            ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);
            EXPECT_EQ(card().instructionCount(0xDC), 10u + asked);
            EXPECT_EQ(card().instructionCount(0xB2), 10u + asked);
            EXPECT_TRUE(session.card.ucs82Probed);
            EXPECT_EQ(session.card.ucs82Unsupported, drops);
            const std::vector<std::string> now = cardRecords(kAdnPath, 3);
            EXPECT_EQ(now, (std::vector<std::string>{rowImage(0), rowImage(1), rowImage(2)}));
            EXPECT_EQ(now[1].substr(0, 2), drops ? "80" : "82");
        }
    }
}

// A card that will not have its phonebook changed says so in its status response; the write
// tells the user before it asks anything, and leaves the card and the data folder alone.
TEST_F(WritePhonebook, CardRefusingChangesIsLeftAlone) {
    insertCard({{kAdnPath, 30, 10, {adnRecord("Old One", "111")}, "FF", "ADM"}});
    addRows({{"Anna", "1"}});
    prompts.yesNo = {true};
    EXPECT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Failed);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{9001}));
    EXPECT_EQ(card().instructionCount(0xDC), 0u);
    EXPECT_EQ(cardRecords(kAdnPath, 1)[0], adnRecord("Old One", "111"));
    EXPECT_EQ(filesIn(dir.path()), 0u);
    expectWorkerBack();
}

TEST_F(WritePhonebook, CancelHalfWayKeepsWhatWasWrittenAndStillBacksUp) {
    insertTenRecordCard();
    addRows({{"A", "1"}, {"B", "2"}, {"C", "3"}, {"D", "4"}, {"E", "5"}});
    prompts.yesNo = {true};
    progress.cancelAtStep = 10 + 4; // ten records copied, then Cancel while record 4 is due
    const WriteResult result = write(CardFile::Phonebook);
    ASSERT_EQ(result.outcome, WriteOutcome::Cancelled);
    EXPECT_EQ(result.recordsWritten, 3u);
    std::vector<std::string> expected = {rowImage(0), rowImage(1), rowImage(2)};
    expected.insert(expected.end(), original.begin() + 3, original.end());
    EXPECT_EQ(cardRecords(kAdnPath, 10), expected);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8033, 0, 8032}));
    EXPECT_EQ(prompts.asked[1].text, "Progress Cancelled");
    EXPECT_TRUE(std::filesystem::exists(dir / "Phone.fph"));
    expectWorkerBack();
}

TEST_F(WritePhonebook, CancelWhileTheCardIsCopiedWritesNothing) {
    insertTenRecordCard();
    addRows({{"A", "1"}});
    prompts.yesNo = {true};
    progress.cancelAtStep = 2;
    const WriteResult result = write(CardFile::Phonebook);
    EXPECT_EQ(result.outcome, WriteOutcome::Cancelled);
    EXPECT_EQ(result.recordsWritten, 0u);
    EXPECT_EQ(cardRecords(kAdnPath, 10), original);
    EXPECT_TRUE(cardBackups().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "Phone.fph"));
    expectWorkerBack();
}

TEST_F(WritePhonebook, PresentsTheStoredPinAndStopsSilentlyWhenItIsRefused) {
    insertTenRecordCard(true);
    addRows({{"A", "1"}});
    session.card.chv1Code = "1234";
    session.card.chv1CodeOwner = "89012345678901234567"; // the fixture card's identity
    prompts.yesNo = {true};
    ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);

    for (const std::string code : {"9999", ""}) {
        insertTenRecordCard(true);
        session.card.chv1Code = code;
        prompts.asked.clear();
        EXPECT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Failed);
        EXPECT_TRUE(prompts.asked.empty());
        EXPECT_EQ(cardRecords(kAdnPath, 10), original);
        // A refused code costs one attempt; no code is never offered.
        EXPECT_EQ(card().instructionCount(0x20), code.empty() ? 0u : 1u);
        expectWorkerBack();
    }

    // A code another card accepted is never offered to this one.
    insertTenRecordCard(true);
    session.card.chv1Code = "1234";
    session.card.chv1CodeOwner = "89000000000000000000";
    EXPECT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Failed);
    EXPECT_EQ(card().instructionCount(0x20), 0u);
    EXPECT_EQ(cardRecords(kAdnPath, 10), original);
}

TEST_F(WritePhonebook, MissingFileOrRecordsTooShortEndSilently) {
    addRows({{"A", "1"}});
    insertCard({});
    EXPECT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Failed);
    insertCard({{kAdnPath, 13, 10, {}}});
    EXPECT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Failed);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(card().instructionCount(0xDC), 0u);
    expectWorkerBack();
}

TEST_F(WritePhonebook, ManyWritesKeepTheCardAsItWasFirst) {
    const std::vector<std::string> original = {adnRecord("Anna", "1"), adnRecord("Bob", "2")};
    insertCard({{kAdnPath, 30, 2, original}});
    addRows({{"A", "1"}});
    test::writeFile(dir / "card-1111-20000101-000000-000-6F3A.txt", "another card");
    for (int i = 0; i < 22; ++i) {
        prompts.yesNo = {true};
        ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);
    }
    const std::vector<std::filesystem::path> kept = cardBackups();
    ASSERT_EQ(kept.size(), 2u) << "one copy of each content the card had";
    EXPECT_EQ(backupRecords(kept.front()), original);
    EXPECT_TRUE(std::filesystem::exists(dir / "card-1111-20000101-000000-000-6F3A.txt"));
}

} // namespace
} // namespace velnor::test
