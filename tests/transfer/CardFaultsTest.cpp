#include <algorithm>
#include <functional>

#include "base/TextIds.h"
#include "card/CardRecordFiles.h"
#include "card/ChvOperations.h"
#include "card/UsimPhonebook.h"
#include "codec/CMyTools.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "records/MessageEdit.h"
#include "support/CardFixture.h"
#include "support/TestVectors.h"
#include "transfer/CardRestore.h"
#include "virtualcard/ChvState.h"

namespace velnor::test {
namespace {

// How a card lets one command of an operation down: the card is gone from this command on, the
// command never reaches the card, or the card carries it out but its answer never arrives.
const std::pair<const char *, unsigned CardQuirks::*> kFaults[] = {
    {"card pulled", &CardQuirks::failAfterCommands},
    {"no answer", &CardQuirks::failAtCommand},
    {"answer lost", &CardQuirks::loseAnswerAtCommand},
};

const std::string kKorean = "\xEA\xB0\x80\xEA\xB0\x81"; // "가각": only the 0x82 coding fits

// A USIM-only card (TS 102 221: class A0 refused), its messages under the USIM.
const json kUsimOnly = {{"classA0", false}, {"aid", "A0000000871002FF49FF0589"}};
constexpr const char *kUsimSmsPath = "3F00/7FFF/6F3C";

// Both card files, on a GSM SIM and on a USIM-only card; the messages of a USIM that has none
// of its own are those under DF TELECOM.
struct FileOnCard {
    CardFile file;
    bool usim;
    const char *smsPath;
};
const FileOnCard kFilesAndCards[] = {{CardFile::Phonebook, false, kSmsPath},
                                     {CardFile::Messages, false, kSmsPath},
                                     {CardFile::Phonebook, true, kUsimSmsPath},
                                     {CardFile::Messages, true, kUsimSmsPath},
                                     {CardFile::Messages, true, kSmsPath}};

// Runs a card operation once as it should go, then again on a fresh card with each fault at
// each of its commands in turn. After every faulty run the worker must be back and the
// operation's own checks hold; the card is then put back in order for the checks that read it.
class CardFaults : public CardFixture {
protected:
    void atEveryCommand(const std::function<void()> &insert, const std::function<void()> &run,
                        const std::function<void()> &check) {
        insert();
        run();
        const unsigned count = card().commandCount();
        ASSERT_GT(count, 3u);
        for (const auto &[name, command] : kFaults) {
            for (unsigned k = 1; k <= count; ++k) {
                SCOPED_TRACE(std::string(name) + " at command " + std::to_string(k));
                insert();
                CardQuirks quirks;
                quirks.*command = k;
                setQuirks(quirks);
                run();
                expectWorkerBack();
                setQuirks({});
                check();
                if (HasFailure()) {
                    return; // the first failing case says it all
                }
            }
        }
    }

    // On a GSM SIM, or on a USIM-only card whose phonebook is EF ADN alone, reached through
    // class 00 as its messages are.
    void insertBothFiles(const std::vector<std::string> &adn, const std::vector<std::string> &sms,
                         bool usim = false, const std::string &smsPath = kSmsPath) {
        const std::string smspPath = smsPath.substr(0, smsPath.size() - 4) + "6F42";
        insertCard({{kAdnPath, 30, int(adn.size()), adn},
                    {smsPath, 176, int(sms.size()), sms, "00"},
                    {smspPath, 40, 1, {kSmspRecord}}},
                   false, usim ? kUsimOnly : json());
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
                        const std::vector<std::string> &written, size_t recordsWritten,
                        const std::filesystem::path &cardBackup) {
        for (size_t i = 0; i < now.size(); ++i) {
            if (i != recordsWritten) {
                EXPECT_EQ(now[i], i < recordsWritten ? written[i] : old[i]) << "record " << i + 1;
            } else {
                EXPECT_TRUE(now[i] == old[i] || now[i] == written[i]) << "record " << i + 1;
            }
        }
        if (now != old) {
            ASSERT_FALSE(cardBackup.empty());
        }
        if (!cardBackup.empty()) {
            EXPECT_EQ(backupRecords(cardBackup), old);
        }
    }

    // A read once the card answers again, the take-over question answered "no".
    ReadOutcome readAgain(CardFile file) {
        prompts.yesNo.clear();
        return read(file);
    }
};

// A read only reads. Stopped before it reaches the card's file it leaves the list as it was;
// later the list holds the card's first records; only a read that completes saves the list.
TEST_F(CardFaults, Reads) {
    const std::vector<std::string> adn = {adnRecord("Anna", "1"), kFreeAdn, adnRecord("Carl", "3")};
    const std::vector<std::string> sms = {smsRecord(1), kFreeSms, smsRecord(3)};
    for (const auto &[file, usim, smsPath] : kFilesAndCards) {
        const bool phonebook = file == CardFile::Phonebook;
        SCOPED_TRACE(std::string(phonebook ? "phonebook" : "messages") + (usim ? ", USIM " : " ") +
                     smsPath);
        const RowList &list = phonebook ? session.cardPhonebook : session.messages.rows();
        const bool &loaded = phonebook ? session.phonebookLoaded : session.messagesLoaded;
        const size_t name = phonebook ? 1 : 4;
        const std::vector<std::string> all = phonebook ? std::vector<std::string>{"Anna", "Carl"}
                                                       : std::vector<std::string>(2, "hello");
        ReadOutcome outcome{};
        auto run = [&] {
            removeListBackups();
            session.cardPhonebook.clear();
            session.cardPhonebook.appendRow({"1", "Kept", "9"});
            session.messages.clear();
            appendComposedMessage(session.messages, "+4930", "Kept", session.card, texts);
            session.phonebookLoaded = session.messagesLoaded = true;
            outcome = read(file);
        };
        atEveryCommand(
            [&] { insertBothFiles(adn, sms, usim, smsPath); }, run,
            [&] {
                EXPECT_EQ(cardRecords(kAdnPath, 3), adn);
                EXPECT_EQ(cardRecords(smsPath, 3), sms);
                const bool done = outcome == ReadOutcome::Done;
                EXPECT_TRUE(done || outcome == ReadOutcome::Failed);
                EXPECT_EQ(std::filesystem::exists(dir / (phonebook ? "Phone.fph" : "Message.fsm")),
                          done);
                if (!done && loaded) {
                    EXPECT_EQ(column(list, name), std::vector<std::string>{"Kept"});
                } else {
                    const std::vector<std::string> rows = column(list, name);
                    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), all.begin(),
                                           all.begin() + std::min(rows.size(), all.size())));
                    EXPECT_EQ(rows.size() == all.size(), done);
                }
                EXPECT_EQ(readAgain(file), ReadOutcome::Done);
                EXPECT_EQ(column(list, name), all);
            });
    }
}

// A write stopped anywhere leaves the card's records old or new in order, kept in a card backup
// before the first one changed; the list written is never lost, and only a write that completes
// saves it.
TEST_F(CardFaults, Writes) {
    const std::vector<std::string> adn = {adnRecord("Old One", "111"), kFreeAdn,
                                          adnRecord("Old Three", "333"), kFreeAdn};
    const std::vector<std::string> sms = {smsRecord(1), smsRecord(3), kFreeSms, kFreeSms};
    MessageList messages;
    for (const char *text : {"first", "second", "third"}) {
        appendComposedMessage(messages, "+4930", text, session.card, texts);
    }
    for (const auto &[file, usim, smsPath] : kFilesAndCards) {
        const bool phonebook = file == CardFile::Phonebook;
        SCOPED_TRACE(std::string(phonebook ? "phonebook" : "messages") + (usim ? ", USIM " : " ") +
                     smsPath);
        const char *filePath = phonebook ? kAdnPath : smsPath;
        WriteResult result;
        auto run = [&] {
            removeListBackups();
            session.cardPhonebook.clear();
            // The second name makes the write ask the card about the 0x82 coding.
            session.cardPhonebook.appendRow({"1", "New A", "+4930"});
            session.cardPhonebook.appendRow({"2", kKorean, "0171"});
            session.card.ucs82Unsupported = session.card.ucs82Probed = false;
            session.messages = messages;
            prompts.yesNo = {true};
            result = write(file);
        };
        insertBothFiles(adn, sms, usim, smsPath);
        run();
        ASSERT_EQ(result.outcome, WriteOutcome::Done);
        ASSERT_EQ(session.card.ucs82Probed, phonebook);
        const std::vector<std::string> written = cardRecords(filePath, 4);
        atEveryCommand(
            [&] { insertBothFiles(adn, sms, usim, smsPath); }, run,
            [&] {
                const std::vector<std::string> now = cardRecords(filePath, 4);
                expectOldOrNew(now, phonebook ? adn : sms, written, result.recordsWritten,
                               result.cardBackup);
                const bool done = result.outcome == WriteOutcome::Done;
                EXPECT_TRUE(done || result.outcome == WriteOutcome::Failed);
                EXPECT_EQ(std::filesystem::exists(dir / (phonebook ? "Phone.fph" : "Message.fsm")),
                          done);
                EXPECT_EQ(column(session.cardPhonebook, 1),
                          (std::vector<std::string>{"New A", kKorean}));
                EXPECT_EQ(session.messages.size(), 3u);
                EXPECT_EQ(readAgain(file), ReadOutcome::Done);
                // A record in use holds an entry, or a message with status bit 0 set (GSM 11.11,
                // 10.5.3); a write clears a message record to 00 FF FF ...
                EXPECT_EQ(phonebook ? session.cardPhonebook.rowCount() : session.messages.size(),
                          std::count_if(now.begin(), now.end(), [&](const std::string &record) {
                              return phonebook ? record != kFreeAdn
                                               : (std::stoi(record.substr(0, 2), nullptr, 16) & 1);
                          }));
            });
    }
}

// A restore stopped anywhere leaves the records before it restored and the rest as they were,
// kept in a card backup first, and a second restore completes it.
TEST_F(CardFaults, Restore) {
    const std::vector<std::string> old = {adnRecord("Zed", "9"), kFreeAdn, adnRecord("Yan", "8")};
    const std::vector<std::string> kept = {adnRecord("Anna", "1"), adnRecord("Bob", "2"), kFreeAdn};
    CardBackup backup{kIdentity, path, kAdnPath, "", 30, {}};
    for (const std::string &record : kept) {
        backup.records.push_back(*CMyTools::asc2hex(record));
    }
    RestoreResult result;
    auto restore = [&] {
        removeListBackups();
        result = restoreCardBackup(session, env, backup, {});
    };
    atEveryCommand(
        [&] {
            insertCard({{kAdnPath, 30, 3, old}});
        },
        restore,
        [&] {
            const RestoreOutcome outcome = result.outcome;
            EXPECT_TRUE(outcome == RestoreOutcome::Done || outcome == RestoreOutcome::NotOpened ||
                        outcome == RestoreOutcome::Unmatched ||
                        outcome == RestoreOutcome::CardFailed);
            expectOldOrNew(cardRecords(kAdnPath, 3), old, kept, result.recordsWritten,
                           result.cardBackup);
            restore();
            EXPECT_EQ(result.outcome, RestoreOutcome::Done);
            EXPECT_EQ(cardRecords(kAdnPath, 3), kept);
        });
}

// A USIM phonebook of one ADN set of four records (TS 31.102, 4.4.2): EF PBR lists ADN, IAP and
// ANR as type 1 files, EMAIL as type 2 through the IAP byte; an e-mail record ends in the ADN
// file's SFI and record number.
const char *const kUsimFiles[] = {"3F00/7F10/5F3A/4F3A", "3F00/7F10/5F3A/4F25",
                                  "3F00/7F10/5F3A/4F11", "3F00/7F10/5F3A/4F50"};

// A write of a USIM phonebook stopped anywhere leaves every entry old or new with its links
// whole and no linked record astray, and the card backup taken first holds every file it
// changed: restored, the card is as it was.
TEST_F(CardFaults, UsimPhonebookWrite) {
    const std::vector<std::vector<std::string>> old = {
        {adnRecord("Old One", "111"), kFreeAdn, adnRecord("Old Three", "333"), kFreeAdn},
        {"01", "FF", "FF", "FF"},
        // ANR: AAS record 00, then +4930555 as in an ADN record's tail.
        {std::string(30, 'F'), std::string(30, 'F'), "000591940355F5" + std::string(16, 'F'),
         std::string(30, 'F')},
        // EMAIL: "old@x.org" in the GSM alphabet, then ADN SFI 01, record 01.
        {"6F6C6400782E6F7267" + std::string(18, 'F') + "0101", std::string(40, 'F')}};
    const std::vector<EfAdn::Value> before = {
        PhoneEntry{"Old One", "111", "old@x.org"}, std::nullopt,
        PhoneEntry{"Old Three", "333", "", "+4930555"}, std::nullopt};
    const std::vector<EfAdn::Value> after = {PhoneEntry{"New A", "+4930", "new@x.org"},
                                             PhoneEntry{kKorean, "0171", "two@x.org", "555"},
                                             std::nullopt, std::nullopt};
    const std::string pbr =
        "A80FC0034F3A01C1034F2502C4034F1103A905CA034F5004" + std::string(16, 'F');
    auto insert = [&] {
        std::vector<TestFile> files = {{"3F00/7F10/5F3A/4F30", 32, 1, {pbr}}};
        const int lengths[] = {30, 1, 15, 20};
        const char *sfis[] = {"01", "02", "03", "04"};
        for (size_t i = 0; i < old.size(); ++i) {
            files.push_back(
                {kUsimFiles[i], lengths[i], int(old[i].size()), old[i], "FF", "", sfis[i]});
        }
        insertCard(files, false, kUsimOnly);
    };
    auto entries = [&] {
        CardHandle handle(driver, path);
        CardTransaction transaction(driver, handle.get());
        UiccChannel channel(driver, handle.get());
        UiccRecordFiles files(channel);
        std::optional<UsimPhonebook> book = UsimPhonebook::open(files);
        return book ? book->readEntries(files, {}) : std::nullopt;
    };
    auto cardFiles = [&] {
        std::vector<std::vector<std::string>> now;
        for (size_t i = 0; i < old.size(); ++i) {
            now.push_back(cardRecords(kUsimFiles[i], old[i].size()));
        }
        return now;
    };
    WriteResult result;
    auto run = [&] {
        removeListBackups();
        session.cardPhonebook =
            RowList({"No.", "Name", "Number", "E-mail", "Additional number", "Second name"});
        session.cardPhonebook.appendRow({"1", "New A", "+4930", "new@x.org"});
        // The card has no file for a second name: the write says so, like a name cut short.
        session.cardPhonebook.appendRow({"2", kKorean, "0171", "two@x.org", "555", "Kim"});
        session.card.ucs82Unsupported = session.card.ucs82Probed = false;
        prompts.yesNo = {true};
        result = write(CardFile::Phonebook);
    };
    insert();
    run();
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    ASSERT_EQ(entries(), after);
    EXPECT_TRUE(session.card.ucs82Probed && !session.card.ucs82Unsupported); // the 0x82 name kept
    EXPECT_EQ(prompts.ids(),
              (std::vector<int>{8033, text::FieldsNotWritten, text::RecordsWritten}));
    atEveryCommand(insert, run, [&] {
        const std::optional<std::vector<EfAdn::Value>> now = entries();
        ASSERT_TRUE(now);
        ASSERT_EQ(now->size(), after.size());
        size_t emails = 0;
        for (size_t p = 0; p < now->size(); ++p) {
            SCOPED_TRACE("entry " + std::to_string(p + 1));
            // An ADN record and the records linked to it are written one by one, so each part
            // of an entry is old or new on its own.
            const PhoneEntry is = (*now)[p].value_or(PhoneEntry{});
            const PhoneEntry was = before[p].value_or(PhoneEntry{});
            const PhoneEntry will = after[p].value_or(PhoneEntry{});
            for (const auto field : {&PhoneEntry::name, &PhoneEntry::number, &PhoneEntry::email,
                                     &PhoneEntry::additionalNumber}) {
                EXPECT_TRUE(is.*field == was.*field || is.*field == will.*field) << is.*field;
            }
            emails += !is.email.empty();
        }
        // A record is filled before the link to it is set: a stop in between leaves one
        // e-mail record that no entry uses, never a link to a record that is not there.
        const std::vector<std::string> emailRecords = cardRecords(kUsimFiles[3], 2);
        const auto used = size_t(std::count_if(emailRecords.begin(), emailRecords.end(),
                                               [](const std::string &r) { return r[0] != 'F'; }));
        EXPECT_TRUE(used == emails || used == emails + 1) << used << " records, " << emails;
        if (cardFiles() != old) {
            ASSERT_FALSE(result.cardBackup.empty());
        }
        if (!result.cardBackup.empty()) {
            std::string error;
            const std::optional<CardBackup> backup = loadCardBackup(result.cardBackup, error);
            ASSERT_TRUE(backup) << error;
            // A card that did not give its ICCID at the write left a backup that names none.
            const RestoreRequest anyCard{{}, [](const std::string &) { return true; }};
            EXPECT_EQ(restoreCardBackup(session, env, *backup, anyCard).outcome,
                      RestoreOutcome::Done);
            EXPECT_EQ(cardFiles(), old);
        }
    });
}

// Each PIN operation leaves the card's CHV1 as it was or as the operation makes it, never
// keeps a stored code the card no longer has (offering it would cost an attempt), and once the
// user gives the card's code a read works.
TEST_F(CardFaults, ChvOperations) {
    const std::vector<std::string> operations = {"Verify", "Enable", "Disable", "Change",
                                                 "Unblock"};
    for (const json &c : loadVectors("transfer/chv-operations.json")) {
        SCOPED_TRACE(c["operation"].get<std::string>());
        const auto operation = ChvOperation(
            std::find(operations.begin(), operations.end(), c["operation"]) - operations.begin());
        const bool enabledBefore = c["enabledBefore"];
        const std::string codeAfter = c["codeAfter"];
        auto insert = [&] {
            insertCard({{kAdnPath, 30, 2, {adnRecord("Anna", "1")}}}, enabledBefore);
            if (c["blockedBefore"]) {
                for (int i = 0; i < 3; ++i) {
                    card().transmit(*CMyTools::asc2hex("A02000010839393939FFFFFFFF"));
                }
                card().powerOn();
            }
        };
        ChvResult result;
        auto run = [&] {
            // The code the user gave this card earlier, if it asks for one.
            session.card.chv1Code = enabledBefore ? "1234" : "";
            session.card.chv1CodeOwner = kIdentity;
            result = performChv(driver, path, session.card, operation, c["codes"]);
        };
        insert();
        const ChvState::Settings before = card().chv1().settings();
        run();
        ASSERT_TRUE(result.accepted);
        const ChvState::Settings after = card().chv1().settings();
        atEveryCommand(insert, run, [&] {
            const ChvState::Settings now = card().chv1().settings();
            EXPECT_TRUE(now == before || now == after);
            const std::string cardCode = now == after ? codeAfter : "1234";
            EXPECT_TRUE(session.card.chv1Code.empty() || session.card.chv1Code == cardCode)
                << "stored " << session.card.chv1Code << ", card has " << cardCode;
            // A code whose card could not be named is never offered; the user gives it, or
            // unblocks the card once more.
            if (now.enabled && now.attemptsLeft == 0) {
                ASSERT_TRUE(performChv(driver, path, session.card, ChvOperation::Unblock,
                                       {"12345678", cardCode})
                                .accepted);
            } else if (now.enabled &&
                       (session.card.chv1Code.empty() || session.card.chv1CodeOwner != kIdentity)) {
                ASSERT_TRUE(performChv(driver, path, session.card, ChvOperation::Verify, {cardCode})
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
