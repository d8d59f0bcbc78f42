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
        session.cardPhonebook.appendRow({"1", "Zed", "9"});
        writeOverOriginal();
    }
    // A card holding the original records, overwritten by a write that keeps them as `backup`.
    void writeOverOriginal() {
        insertCard({{kAdnPath, 30, 4, original}});
        prompts.yesNo = {true};
        const WriteResult written = write(CardFile::Phonebook);
        ASSERT_EQ(written.outcome, WriteOutcome::Done);
        std::string error;
        backupFile = written.cardBackup;
        backup = *loadCardBackup(backupFile, error);
        overwritten = cardRecords(kAdnPath, 4);
        prompts.asked.clear();
    }
    RestoreResult restore() {
        return restoreCardBackup(session, env, backup, {backupFile, writeUnmatched});
    }

    std::vector<std::string> original;
    std::vector<std::string> overwritten;
    std::filesystem::path backupFile;
    CardBackup backup;
    std::function<bool(const std::string &)> writeUnmatched;
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
    const std::pair<std::string, RestoreOutcome> identities[] = {
        {"89012345678901234568", RestoreOutcome::OtherCard},
        {"", RestoreOutcome::Unmatched},
        {"IMSI 262011234567890", RestoreOutcome::Unmatched}, // an ICCID and an IMSI: no telling
    };
    for (const auto &[identity, outcome] : identities) {
        backup.identity = identity;
        const RestoreResult result = restore();
        EXPECT_EQ(result.outcome, outcome) << identity;
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

TEST_F(Restore, KeepsTheBackupItRestoresHoweverManyThereAre) {
    CardBackup later = backup;
    for (int i = 1; i < 20; ++i) {
        later.records[0][0] = static_cast<uint8_t>(i);
        std::string error;
        ASSERT_TRUE(saveCardBackup(dir.path(), later,
                                   std::chrono::system_clock::now() + std::chrono::hours(i), {},
                                   error));
    }
    for (int i = 0; i < 2; ++i) { // the second time the card holds what is restored already
        ASSERT_EQ(restore().outcome, RestoreOutcome::Done);
        EXPECT_TRUE(std::filesystem::exists(backupFile)) << i;
    }
}

// A card whose ICCID cannot be read is known by its IMSI, here 262011234567890 in the coding of
// GSM 04.08, 10.5.1.4; a card with neither goes back only where the caller allows it.
TEST_F(Restore, CardWithoutIccidIsKnownByItsImsiOrRestoredWhenAllowed) {
    for (const std::string imsiFile :
         {R"({"path": "3F00/7F20/6F07", "data": "082926102143658709"})", ""}) {
        identityFiles = imsiFile;
        writeOverOriginal();
        EXPECT_EQ(backup.identity, imsiFile.empty() ? "" : "IMSI 262011234567890");
        writeUnmatched = nullptr;
        EXPECT_EQ(restore().outcome,
                  imsiFile.empty() ? RestoreOutcome::Unmatched : RestoreOutcome::Done);
        std::vector<std::string> asked;
        writeUnmatched = [&asked](const std::string &card) {
            asked.push_back(card);
            return true;
        };
        ASSERT_EQ(restore().outcome, RestoreOutcome::Done);
        EXPECT_EQ(cardRecords(kAdnPath, 4), original);
        EXPECT_EQ(asked,
                  (imsiFile.empty() ? std::vector<std::string>{""} : std::vector<std::string>{}));
    }
}

} // namespace
} // namespace velnor::test
