#include "WriteFixture.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "card/ChvOperations.h"
#include "sim/MessageEdit.h"
#include "simcard/ChvState.h"

namespace velnor::test {
namespace {

// How a card lets one command of an operation down.
enum class Fault {
    Pulled,     // the card is gone from this command on
    Unanswered, // this command never reaches the card
    AnswerLost, // the card carries the command out, but its answer never arrives
};

constexpr Fault kFaults[] = {Fault::Pulled, Fault::Unanswered, Fault::AnswerLost};

CardQuirks quirksFor(Fault fault, unsigned command) {
    switch (fault) {
    case Fault::Pulled:
        return {.failAfterCommands = command};
    case Fault::Unanswered:
        return {.failAtCommand = command};
    case Fault::AnswerLost:
        return {.loseAnswerAtCommand = command};
    }
    return {};
}

const char *faultName(Fault fault) {
    switch (fault) {
    case Fault::Pulled:
        return "card pulled";
    case Fault::Unanswered:
        return "no answer";
    case Fault::AnswerLost:
        return "answer lost";
    }
    return "";
}

constexpr const char *kSmspPath = "3F00/7F10/6F42";
const std::string kFreeAdn(60, 'F');
const std::string kFreeSms(352, '0');
// Parameters record of 40 bytes whose service-centre address +491710760000 is present.
const std::string kSmspRecord =
    std::string(24, 'F') + "FD" + std::string(24, 'F') + "0791947101670000FFFFFF" + "FFFFFF";

size_t inUse(const std::vector<std::string> &records, const std::string &free) {
    return std::count_if(records.begin(), records.end(),
                         [&](const std::string &record) { return record != free; });
}

std::string smsRecord(uint8_t statusByte) {
    std::string record = deliverRecord(statusByte);
    record.resize(kFreeSms.size(), '0');
    return record;
}

// Runs a card operation once as it should go, then again on a fresh card with each fault at
// each of its commands in turn. After every faulty run the worker must be back and the
// operation's own checks hold; the card is then put back in order for the checks that read it.
class CardFaults : public WriteFixture {
protected:
    void atEveryCommand(const std::function<void()> &insert, const std::function<void()> &run,
                        const std::function<void()> &check) {
        insert();
        run();
        const unsigned commands = card().commandCount();
        ASSERT_GT(commands, 3u);
        unsigned cases = 0;
        for (const Fault fault : kFaults) {
            for (unsigned k = 1; k <= commands; ++k) {
                SCOPED_TRACE(std::string(faultName(fault)) + " at command " + std::to_string(k));
                insert();
                setQuirks(quirksFor(fault, k));
                run();
                expectWorkerBack();
                setQuirks({});
                check();
                ++cases;
                if (HasFailure()) {
                    return; // the first failing case says it all
                }
            }
        }
        std::printf("[ faults   ] %s: %u cases of %u commands\n",
                    ::testing::UnitTest::GetInstance()->current_test_info()->name(), cases,
                    commands);
    }

    void removeListBackups() {
        std::filesystem::remove(dir / "Phone.fph");
        std::filesystem::remove(dir / "Message.fsm");
        for (const auto &backup : cardBackups()) {
            std::filesystem::remove(backup);
        }
    }

    // Every record before the one a write stopped at holds the new content and every record
    // after it the old; the record it stopped at may hold either. Anything changed means the
    // card backup was taken first and holds each record as it was.
    void expectOldOrNew(const std::vector<std::string> &now, const std::vector<std::string> &old,
                        const std::vector<std::string> &written, const WriteResult &result) {
        for (size_t i = 0; i < now.size(); ++i) {
            if (i < result.recordsWritten) {
                EXPECT_EQ(now[i], written[i]) << "record " << i + 1;
            } else if (i > result.recordsWritten) {
                EXPECT_EQ(now[i], old[i]) << "record " << i + 1;
            } else {
                EXPECT_TRUE(now[i] == old[i] || now[i] == written[i]) << "record " << i + 1;
            }
        }
        if (now != old) {
            ASSERT_FALSE(result.cardBackup.empty());
        }
        if (!result.cardBackup.empty()) {
            EXPECT_EQ(backupRecords(result.cardBackup), old);
        }
    }

    // A read once the card answers again, the take-over question answered "no".
    ReadOutcome readAgain(CardFile file) {
        prompts.yesNo.clear();
        return read(file);
    }

    // The outcome of a read or write and the list backup it leaves agree.
    void expectListBackup(bool done, const char *name) {
        EXPECT_EQ(std::filesystem::exists(dir / name), done) << name;
    }
};

TEST_F(CardFaults, PhonebookRead) {
    const std::vector<std::string> records = {adnRecord("Anna", "1"), kFreeAdn,
                                              adnRecord("Carl", "3")};
    ReadOutcome outcome{};
    atEveryCommand(
        [&] {
            insertCard({{kAdnPath, 30, 3, records}});
        },
        [&] {
            removeListBackups();
            prompts.asked.clear();
            session.cardPhonebook.clear();
            session.cardPhonebook.appendRow({"1", "Kept", "9"});
            session.phonebookLoaded = true;
            outcome = read(CardFile::Phonebook);
        },
        [&] {
            EXPECT_EQ(cardRecords(kAdnPath, 3), records) << "a read only reads";
            const bool done = outcome == ReadOutcome::Done;
            EXPECT_TRUE(done || outcome == ReadOutcome::Failed);
            expectListBackup(done, "Phone.fph");
            const RowList &list = session.cardPhonebook;
            if (done) {
                EXPECT_EQ(list.rowCount(), 2u);
            } else if (session.phonebookLoaded) {
                // Stopped before the file was reached: the list is as it was.
                ASSERT_EQ(list.rowCount(), 1u);
                EXPECT_EQ(list.cell(0, 1), "Kept");
            } else {
                EXPECT_LE(list.rowCount(), 2u);
                EXPECT_TRUE(list.rowCount() == 0 || list.cell(0, 1) == "Anna");
            }
            EXPECT_EQ(readAgain(CardFile::Phonebook), ReadOutcome::Done);
            EXPECT_EQ(session.cardPhonebook.cell(0, 1), "Anna");
        });
}

TEST_F(CardFaults, MessageRead) {
    const std::vector<std::string> records = {smsRecord(1), kFreeSms, smsRecord(3)};
    ReadOutcome outcome{};
    atEveryCommand(
        [&] {
            insertCard({{kSmsPath, 176, 3, records, "00"}, {kSmspPath, 40, 1, {kSmspRecord}}});
        },
        [&] {
            removeListBackups();
            session.messages.clear();
            appendComposedMessage(session.messages, "+4930", "kept", session.card, texts);
            session.messagesLoaded = true;
            outcome = read(CardFile::Messages);
        },
        [&] {
            EXPECT_EQ(cardRecords(kSmsPath, 3), records);
            const bool done = outcome == ReadOutcome::Done;
            EXPECT_TRUE(done || outcome == ReadOutcome::Failed);
            expectListBackup(done, "Message.fsm");
            const RowList &list = session.messages.rows();
            if (done) {
                EXPECT_EQ(list.rowCount(), 2u);
            } else if (session.messagesLoaded) {
                // Stopped before the file was reached: the list is as it was.
                ASSERT_EQ(list.rowCount(), 1u);
                EXPECT_EQ(list.cell(0, 4), "kept");
            } else {
                EXPECT_LE(list.rowCount(), 2u);
            }
            EXPECT_EQ(readAgain(CardFile::Messages), ReadOutcome::Done);
            EXPECT_EQ(session.messages.size(), 2u);
        });
}

TEST_F(CardFaults, PhonebookWrite) {
    const std::vector<std::string> old = {adnRecord("Old One", "111"), kFreeAdn,
                                          adnRecord("Old Three", "333"), kFreeAdn};
    // The second name needs the 0x82 coding ("가각"), so the card is asked about it mid-write.
    const std::vector<std::vector<std::string>> rows = {{"1", "New A", "+4930"},
                                                        {"2", "\xEA\xB0\x80\xEA\xB0\x81", "0171"}};
    auto insert = [&] { insertCard({{kAdnPath, 30, 4, old}}); };
    WriteResult result;
    auto run = [&] {
        removeListBackups();
        session.cardPhonebook.clear();
        for (const auto &row : rows) {
            session.cardPhonebook.appendRow(row);
        }
        session.card.ucs82Unsupported = session.card.ucs82Probed = false;
        prompts.yesNo = {true};
        result = write(CardFile::Phonebook);
    };
    insert();
    run();
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    ASSERT_TRUE(session.card.ucs82Probed);
    const std::vector<std::string> written = cardRecords(kAdnPath, 4);
    atEveryCommand(insert, run, [&] {
        const std::vector<std::string> now = cardRecords(kAdnPath, 4);
        expectOldOrNew(now, old, written, result);
        const bool done = result.outcome == WriteOutcome::Done;
        EXPECT_TRUE(done || result.outcome == WriteOutcome::Failed);
        expectListBackup(done, "Phone.fph");
        ASSERT_EQ(session.cardPhonebook.rowCount(), rows.size()) << "the list is never lost";
        EXPECT_EQ(session.cardPhonebook.cell(1, 1), rows[1][1]);
        EXPECT_EQ(readAgain(CardFile::Phonebook), ReadOutcome::Done);
        EXPECT_EQ(session.cardPhonebook.rowCount(), inUse(now, kFreeAdn));
    });
}

TEST_F(CardFaults, MessageWrite) {
    const std::vector<std::string> old = {smsRecord(1), smsRecord(3), kFreeSms, kFreeSms};
    auto insert = [&] {
        insertCard({{kSmsPath, 176, 4, old, "00"}, {kSmspPath, 40, 1, {kSmspRecord}}});
    };
    MessageList messages;
    for (const char *text : {"first", "second", "third"}) {
        appendComposedMessage(messages, "+4930", text, session.card, texts);
    }
    WriteResult result;
    auto run = [&] {
        removeListBackups();
        session.messages = messages;
        prompts.yesNo = {true};
        result = write(CardFile::Messages);
    };
    insert();
    run();
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    const std::vector<std::string> written = cardRecords(kSmsPath, 4);
    atEveryCommand(insert, run, [&] {
        const std::vector<std::string> now = cardRecords(kSmsPath, 4);
        expectOldOrNew(now, old, written, result);
        const bool done = result.outcome == WriteOutcome::Done;
        EXPECT_TRUE(done || result.outcome == WriteOutcome::Failed);
        expectListBackup(done, "Message.fsm");
        EXPECT_EQ(session.messages.size(), 3u) << "the list is never lost";
        EXPECT_EQ(readAgain(CardFile::Messages), ReadOutcome::Done);
        // Status bit 0 marks a record in use; a free one is written as 00 FF FF ...
        EXPECT_EQ(session.messages.size(),
                  std::count_if(now.begin(), now.end(), [](const std::string &record) {
                      return (std::stoi(record.substr(0, 2), nullptr, 16) & 1) != 0;
                  }));
    });
}

// Each PIN operation leaves the card's CHV1 as it was or as the operation makes it, never
// keeps a stored code the card no longer has (offering it would cost an attempt), and once the
// user gives the card's code a read works.
TEST_F(CardFaults, ChvOperations) {
    struct Case {
        const char *name;
        ChvOperation operation;
        std::vector<std::string> codes;
        bool enabledBefore;
        bool blockedBefore;
        const char *codeAfter;
    };
    const Case cases[] = {
        {"verify", ChvOperation::Verify, {"1234"}, true, false, "1234"},
        {"disable", ChvOperation::Disable, {"1234"}, true, false, "1234"},
        {"enable", ChvOperation::Enable, {"1234"}, false, false, "1234"},
        {"change", ChvOperation::Change, {"1234", "4321"}, true, false, "4321"},
        {"unblock", ChvOperation::Unblock, {"12345678", "4321"}, true, true, "4321"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto insert = [&] {
            insertCard({{kAdnPath, 30, 2, {adnRecord("Anna", "1")}}}, c.enabledBefore);
            if (c.blockedBefore) {
                for (int i = 0; i < 3; ++i) {
                    card().transmit(Bytes{0xA0, 0x20, 0x00, 0x01, 0x08, '9', '9', '9', '9', 0xFF,
                                          0xFF, 0xFF, 0xFF});
                }
                card().powerOn();
            }
        };
        ChvResult result;
        auto run = [&] {
            // The code the user gave this card earlier, if it asks for one.
            session.card.chv1Code = c.enabledBefore ? "1234" : "";
            session.card.chv1CodeOwner = kIdentity;
            result = performChv(driver, devicePath, session.card, c.operation, c.codes);
        };
        insert();
        const ChvState::Settings before = card().chv1().settings();
        run();
        ASSERT_TRUE(result.accepted);
        const ChvState::Settings after = card().chv1().settings();
        atEveryCommand(insert, run, [&] {
            const ChvState::Settings now = card().chv1().settings();
            EXPECT_TRUE(now == before || now == after);
            const std::string cardCode = now == after ? c.codeAfter : "1234";
            EXPECT_TRUE(session.card.chv1Code.empty() || session.card.chv1Code == cardCode)
                << "stored " << session.card.chv1Code << ", card has " << cardCode;
            // A code whose card could not be named is never offered; the user gives it, or
            // unblocks the card once more.
            if (now.enabled && now.attemptsLeft == 0) {
                ASSERT_TRUE(performChv(driver, devicePath, session.card, ChvOperation::Unblock,
                                       {"12345678", cardCode})
                                .accepted);
            } else if (now.enabled &&
                       (session.card.chv1Code.empty() || session.card.chv1CodeOwner != kIdentity)) {
                ASSERT_TRUE(
                    performChv(driver, devicePath, session.card, ChvOperation::Verify, {cardCode})
                        .accepted);
            }
            EXPECT_EQ(readAgain(CardFile::Phonebook), ReadOutcome::Done);
            EXPECT_EQ(session.cardPhonebook.rowCount(), 1u);
        });
        if (HasFailure()) {
            return;
        }
    }
}

} // namespace
} // namespace velnor::test
