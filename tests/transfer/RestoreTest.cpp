#include "support/CardFixture.h"
#include "transfer/CardRestore.h"

namespace velnor::test {
namespace {

class Restore : public CardFixture {
protected:
    void SetUp() override {
        CardFixture::SetUp();
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

    const std::vector<std::string> original = {adnRecord("Anna", "1"), adnRecord("Bob", "2"),
                                               kFreeAdn, adnRecord("Carl", "3")};
    std::vector<std::string> overwritten;
    std::filesystem::path backupFile;
    CardBackup backup;
    std::function<bool(const std::string &)> writeUnmatched;
};

// The backup restored is kept, though the card's records saved first repeat it the second time.
// A phonebook goes back through a reader without CDMA too.
TEST_F(Restore, PutsTheRecordsBackAndKeepsWhatItReplaced) {
    session.reader.readerCdmaCapable = false;
    for (const auto &replaced : {overwritten, original}) {
        const RestoreResult result = restore();
        ASSERT_EQ(result.outcome, RestoreOutcome::Done);
        EXPECT_EQ(result.recordsWritten, 4u);
        EXPECT_EQ(status.memory().progress.id, 8031); // entries, not messages
        EXPECT_EQ(backupRecords(result.cardBackup), replaced);
        EXPECT_TRUE(std::filesystem::exists(backupFile));
        EXPECT_TRUE(prompts.asked.empty());
        expectWorkerBack();
    }
}

TEST_F(Restore, RefusesAnotherCardAnotherFileShapeAndAFileItMayNotChange) {
    std::string error;
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
    backup = *loadCardBackup(backupFile, error);
    insertCard({{kAdnPath, 30, 4, overwritten, "FF", "ADM"}});
    EXPECT_EQ(restore().outcome, RestoreOutcome::Refused);
    EXPECT_EQ(cardRecords(kAdnPath, 4), overwritten);
}

// A card whose ICCID cannot be read is known by its IMSI, here 262011234567890 in the coding of
// GSM 04.08, 10.5.1.4; a card with neither goes back only where the caller allows it.
TEST_F(Restore, CardWithoutIccidIsKnownByItsImsiOrRestoredWhenAllowed) {
    const nlohmann::json imsiFile = {{"path", "3F00/7F20/6F07"}, {"data", "082926102143658709"}};
    for (const bool imsi : {true, false}) {
        identityFiles = imsi ? nlohmann::json::array({imsiFile}) : nlohmann::json::array();
        writeOverOriginal();
        EXPECT_EQ(backup.identity, imsi ? "IMSI 262011234567890" : "");
        writeUnmatched = nullptr;
        EXPECT_EQ(restore().outcome, imsi ? RestoreOutcome::Done : RestoreOutcome::Unmatched);
        std::vector<std::string> asked;
        writeUnmatched = [&asked](const std::string &card) {
            asked.push_back(card);
            return true;
        };
        ASSERT_EQ(restore().outcome, RestoreOutcome::Done);
        EXPECT_EQ(cardRecords(kAdnPath, 4), original);
        EXPECT_EQ(asked, imsi ? std::vector<std::string>{} : std::vector<std::string>{""});
    }
}

} // namespace
} // namespace velnor::test
