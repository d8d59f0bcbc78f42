#include "WriteFixture.h"

#include "transfer/CardRestore.h"

namespace velnor::test {
namespace {

class Restore : public WriteFixture {
protected:
    void SetUp() override {
        WriteFixture::SetUp();
        original = {adnRecord("Anna", "1"), adnRecord("Bob", "2"), std::string(60, 'F'),
                    adnRecord("Carl", "3")};
        insertCard({{kAdnPath, 30, 4, original}});
        session.cardPhonebook.appendRow({"1", "Zed", "9"});
        prompts.yesNo = {true};
        const WriteResult written = write(CardFile::Phonebook);
        ASSERT_EQ(written.outcome, WriteOutcome::Done);
        std::string error;
        backup = *loadCardBackup(written.cardBackup, error);
        overwritten = cardRecords(kAdnPath, 4);
        prompts.asked.clear();
    }
    RestoreResult restore() { return restoreCardBackup(session, env, backup); }

    std::vector<std::string> original;
    std::vector<std::string> overwritten;
    CardBackup backup;
};

TEST_F(Restore, PutsTheRecordsBackAndKeepsWhatItReplaced) {
    const RestoreResult result = restore();
    ASSERT_EQ(result.outcome, RestoreOutcome::Done);
    EXPECT_EQ(result.recordsWritten, 4u);
    EXPECT_EQ(result.cardIdentity, kIdentity);
    EXPECT_EQ(cardRecords(kAdnPath, 4), original);
    EXPECT_EQ(backupRecords(result.cardBackup), overwritten);
    EXPECT_TRUE(prompts.asked.empty());
    expectWorkerBack();
}

TEST_F(Restore, RefusesAnotherCardAndAnotherFileShape) {
    for (const std::string identity : {"89012345678901234568", ""}) {
        backup.identity = identity;
        const RestoreResult result = restore();
        EXPECT_EQ(result.outcome, RestoreOutcome::OtherCard);
        EXPECT_EQ(result.cardIdentity, kIdentity);
    }
    backup.identity = kIdentity;
    backup.records.pop_back();
    EXPECT_EQ(restore().outcome, RestoreOutcome::FileDiffers);
    backup.records.push_back(Bytes(31, 0xFF));
    backup.recordLength = 31;
    EXPECT_EQ(restore().outcome, RestoreOutcome::FileDiffers);
    EXPECT_EQ(cardRecords(kAdnPath, 4), overwritten);
    expectWorkerBack();
}

TEST_F(Restore, CardFailingHalfWayLeavesTheEarlierRecordsRestored) {
    const unsigned before = card().commandCount();
    ASSERT_EQ(restore().outcome, RestoreOutcome::Done);
    const unsigned commands = card().commandCount() - before;
    insertCard({{kAdnPath, 30, 4, overwritten}});
    setQuirks({.failAtCommand = commands}); // the last command: the update of record 4
    const RestoreResult result = restore();
    EXPECT_EQ(result.outcome, RestoreOutcome::CardFailed);
    EXPECT_EQ(result.recordsWritten, 3u);
    EXPECT_EQ(cardRecords(kAdnPath, 4),
              (std::vector<std::string>{original[0], original[1], original[2], overwritten[3]}));
    expectWorkerBack();
}

} // namespace
} // namespace velnor::test
