#include "support/CardFixture.h"
#include "support/TransactionAudit.h"
#include "transfer/CardRestore.h"

namespace velnor::test {
namespace {

// Every command of a read, a write or a restore runs inside a card transaction, and none is
// open while the user is asked something: the take-over and write questions, the cancel notice,
// a file error.
using CardTransactions = CardFixture;

TEST_F(CardTransactions, HoldEveryCommandAndNoQuestion) {
    TransactionAuditDriver audit;
    TransactionAwarePrompts asked{audit};
    Environment audited{audit,  asked,      texts,      status,  progress,
                        timing, dir.path(), dir.path(), &watcher};
    insertCard({{kAdnPath, 30, 4, {adnRecord("Anna", "1")}},
                {kSmsPath, 176, 3, {smsRecord(1)}, "00"},
                {kSmspPath, 40, 1, {}}},
               true);
    session.card.chv1Code = "1234";
    session.card.chv1CodeOwner = kIdentity;
    asked.yesNo = {true};
    EXPECT_EQ(readCard(session, audited, CardFile::Phonebook).outcome, ReadOutcome::Done);
    EXPECT_EQ(readCard(session, audited, CardFile::Messages).outcome, ReadOutcome::Done);
    EXPECT_EQ(session.messages.size(), 1u);
    progress.steps = 0;
    progress.cancelAtStep = 2;
    EXPECT_EQ(readCard(session, audited, CardFile::Phonebook).outcome, ReadOutcome::Cancelled);

    session.cardPhonebook.appendRow({"1", "\xEA\xB0\x80\xEA\xB0\x81", "2"}); // asks for 0x82
    asked.yesNo = {true, true};
    progress.cancelAtStep = -1;
    const WriteResult written = writeCard(session, audited, CardFile::Phonebook);
    EXPECT_EQ(written.outcome, WriteOutcome::Done);
    progress.steps = 0;
    progress.cancelAtStep = 6; // four steps of the card backup, then two records
    EXPECT_EQ(writeCard(session, audited, CardFile::Phonebook).outcome, WriteOutcome::Cancelled);
    progress.cancelAtStep = -1;
    std::string error;
    EXPECT_EQ(
        restoreCardBackup(session, audited, *loadCardBackup(written.cardBackup, error), {}).outcome,
        RestoreOutcome::Done);

    insertCard({});
    EXPECT_EQ(readCard(session, audited, CardFile::Phonebook).outcome, ReadOutcome::Failed);
    EXPECT_EQ(readCard(session, audited, CardFile::Messages).outcome, ReadOutcome::Failed);
    EXPECT_EQ(asked.ids(),
              (std::vector<int>{8023, 0, 8023, 8033, 8032, 8033, 0, 8032, 8073, 8073}));
    EXPECT_GE(audit.transactionsBegun(), 8u);
    EXPECT_EQ(audit.looseCommands(), 0u);
    EXPECT_EQ(asked.askedInTransaction, 0);
    EXPECT_TRUE(audit.balanced());
    EXPECT_EQ(audit.openTransactions(), 0);
}

} // namespace
} // namespace velnor::test
