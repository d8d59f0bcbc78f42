#include "ReadFixture.h"
#include "support/TransactionAudit.h"
#include "transfer/CardWriter.h"

namespace velnor::test {
namespace {

// Every command of a read or a write runs inside a card transaction, and none is open while the
// user is asked something: the take-over and capacity questions, the cancel notice, a file
// error.
class ReadTransactions : public ReadFixture {
protected:
    ReadOutcome auditedRead(CardFile file) { return readCard(session, audited, file); }
    void TearDown() override {
        EXPECT_EQ(auditDriver.looseCommands(), 0u);
        EXPECT_EQ(auditPrompts.askedInTransaction, 0);
        EXPECT_TRUE(auditDriver.balanced());
        EXPECT_EQ(auditDriver.openTransactions(), 0);
        ReadFixture::TearDown();
    }

    TransactionAuditDriver auditDriver;
    TransactionAwarePrompts auditPrompts{auditDriver};
    Environment audited{auditDriver, auditPrompts, texts,  status,     commands,
                        worker,      progress,     timing, dir.path(), dir.path()};
};

TEST_F(ReadTransactions, PhonebookReadWithPinAndTakeOverQuestion) {
    insertCard({{"3F00/7F10/6F3A", 30, 4, {adnRecord("Anna", "1")}}}, true);
    session.card.chv1Code = "1234";
    session.card.chv1CodeOwner = "89012345678901234567";
    auditPrompts.yesNo = {true};
    ASSERT_EQ(auditedRead(CardFile::Phonebook), ReadOutcome::Done);
    EXPECT_EQ(auditPrompts.ids(), (std::vector<int>{8023}));
    EXPECT_GE(auditDriver.transactionsBegun(), 1u);
}

TEST_F(ReadTransactions, CancelledReadAndMissingFile) {
    insertCard({{"3F00/7F10/6F3A", 30, 4, {adnRecord("Anna", "1")}}});
    progress.cancelAtStep = 2;
    EXPECT_EQ(auditedRead(CardFile::Phonebook), ReadOutcome::Cancelled);
    progress.cancelAtStep = -1;
    insertCard({});
    EXPECT_EQ(auditedRead(CardFile::Phonebook), ReadOutcome::Failed);
    EXPECT_EQ(auditedRead(CardFile::Messages), ReadOutcome::Failed);
    EXPECT_EQ(auditPrompts.ids(), (std::vector<int>{0, 8023, 8073, 8073}));
}

TEST_F(ReadTransactions, PhonebookWriteAskingBeforeAndCancelledHalfWay) {
    insertCard({{"3F00/7F10/6F3A", 30, 4, {adnRecord("Anna", "1")}}}, true);
    session.card.chv1Code = "1234";
    session.card.chv1CodeOwner = "89012345678901234567";
    session.cardPhonebook.appendRow({"1", "\xEA\xB0\x80\xEA\xB0\x81", "2"}); // asks for 0x82
    auditPrompts.yesNo = {true, true};
    EXPECT_EQ(writeCard(session, audited, CardFile::Phonebook).outcome, WriteOutcome::Done);
    progress.steps = 0;
    progress.cancelAtStep = 6; // four steps of the card backup, then two records
    EXPECT_EQ(writeCard(session, audited, CardFile::Phonebook).outcome, WriteOutcome::Cancelled);
    EXPECT_EQ(auditPrompts.ids(), (std::vector<int>{8033, 8032, 8033, 0, 8032}));
}

TEST_F(ReadTransactions, MessageRead) {
    insertCard(
        {{"3F00/7F10/6F3C", 176, 3, {deliverRecord(1)}, "00"}, {"3F00/7F10/6F42", 40, 1, {}}});
    ASSERT_EQ(auditedRead(CardFile::Messages), ReadOutcome::Done);
    EXPECT_EQ(session.messages.size(), 1u);
}

} // namespace
} // namespace velnor::test
