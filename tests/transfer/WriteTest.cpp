#include "card/EfAdn.h"
#include "codec/CMyTools.h"
#include "files/ListFile.h"
#include "records/MessageEdit.h"
#include "support/CardFixture.h"
#include "support/TestVectors.h"

namespace velnor::test {
namespace {

using Strings = std::vector<std::string>;

// GSM 11.11, 10.5.3: a free message record is status 0, the rest 0xFF.
const std::string kFree176 = "00" + std::string(350, 'F');

class CardWrite : public CardFixture {
protected:
    // Entries at 1, 2 and 5 of the given number of records.
    void insertPhonebook(int records = 10, bool chv1Enabled = false) {
        original = {adnRecord("Old One", "111"), adnRecord("Old Two", "222"), kFreeAdn, kFreeAdn,
                    adnRecord("Old Five", "555")};
        original.resize(records, kFreeAdn);
        insertCard({{kAdnPath, 30, records, original}}, chv1Enabled);
    }
    void setRows(const std::vector<std::pair<std::string, std::string>> &rows) {
        session.cardPhonebook.clear();
        for (const auto &[name, number] : rows) {
            session.cardPhonebook.appendRow(
                {std::to_string(session.cardPhonebook.rowCount() + 1), name, number});
        }
    }
    std::string rowImage(size_t row) {
        const RowList &list = session.cardPhonebook;
        const Bytes image = EfAdn::encode(PhoneEntry{list.cell(row, 1), list.cell(row, 2)}, 30,
                                          session.card.ucs82Unsupported);
        return CMyTools::hex2asc(image.data(), image.size());
    }
    // The first `written` records as the write makes them, the rest as `rest` has them.
    Strings expected(size_t written, Strings rest) {
        for (size_t i = 0; i < written; ++i) {
            rest[i] = i < session.cardPhonebook.rowCount() ? rowImage(i) : kFreeAdn;
        }
        return rest;
    }
    void emptyDataFolder() {
        for (const auto &entry : std::filesystem::directory_iterator(dir.path())) {
            std::filesystem::remove_all(entry.path());
        }
        prompts.asked.clear();
    }

    Strings original;
};

// The question says how many entries go to the card and how many records are cleared; then the
// rows go from record 1 on, the rest are cleared, the card's records as they were are kept in a
// card backup and the list is saved. "No" leaves everything as it was.
TEST_F(CardWrite, PhonebookAsksThenWritesTheRowsAndClearsTheRest) {
    for (const json &c : loadVectors("transfer/write-phonebook.json")) {
        const Strings said = c["said"];
        const size_t rowCount = c["rows"];
        const int records = c["records"];
        SCOPED_TRACE(said[0]);
        emptyDataFolder();
        insertPhonebook(records);
        std::vector<std::pair<std::string, std::string>> rows = c["names"];
        rows.resize(std::min<size_t>(rowCount, rows.size()));
        for (size_t i = rows.size(); i < rowCount; ++i) {
            rows.push_back({"N" + std::to_string(i + 1), "1"});
        }
        setRows(rows);
        prompts.yesNo = {c["yes"].get<bool>()};
        const WriteResult result = write(CardFile::Phonebook);

        Strings shown;
        for (const auto &asked : prompts.asked) {
            shown.push_back(asked.text);
        }
        EXPECT_EQ(shown, said);
        EXPECT_EQ(session.cardPhonebook.rowCount(), rowCount) << "writing leaves the list as it is";
        EXPECT_FALSE(session.card.ucs82Probed) << "no name needed the 0x82 coding";
        expectWorkerBack();
        if (!c["yes"]) {
            EXPECT_EQ(result.outcome, WriteOutcome::Declined);
            EXPECT_EQ(card().instructionCount(0xDC), 0u);
            EXPECT_EQ(filesIn(dir.path()), 0u);
            continue;
        }
        ASSERT_EQ(result.outcome, WriteOutcome::Done);
        EXPECT_EQ(result.recordsWritten, size_t(records));
        EXPECT_EQ(cardRecords(kAdnPath, records), expected(records, original));
        EXPECT_EQ(panes.panes[2], said.back());
        EXPECT_EQ(progress.upper, records);
        EXPECT_EQ(readFile(dir / "Phone.fph"), listFileText(session.cardPhonebook));
        EXPECT_EQ(cardBackups(), std::vector<std::filesystem::path>{result.cardBackup});
    }
}

// The first record whose name needs the 0x82 coding asks the card, in its turn and once the card
// backup holds it: written so and read back. A card that drops the coding gets such names in
// 0x80. The answer stands for the next write, which asks nothing.
TEST_F(CardWrite, FirstNameIn82CodingAsksTheCard) {
    for (const bool drops : {false, true}) {
        SCOPED_TRACE(drops ? "drops 0x82" : "keeps 0x82");
        insertPhonebook();
        setQuirks({.drops82Coding = drops});
        session.card.ucs82Unsupported = session.card.ucs82Probed = false;
        // "가각" and "갂갃": 0x82 fits, 0x81 does not.
        setRows(
            {{"Anna", "1"}, {"\xEA\xB0\x80\xEA\xB0\x81", "2"}, {"\xEA\xB0\x82\xEA\xB0\x83", "3"}});
        for (const unsigned asked : {1u, 0u}) {
            card().powerOn(); // counts commands afresh
            prompts.yesNo = {true};
            ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);
            EXPECT_EQ(card().instructionCount(0xDC), 10u + asked);
            EXPECT_EQ(card().instructionCount(0xB2), 10u + asked);
            EXPECT_TRUE(session.card.ucs82Probed);
            EXPECT_EQ(session.card.ucs82Unsupported, drops);
            const Strings now = cardRecords(kAdnPath, 3);
            EXPECT_EQ(now, expected(3, Strings(3)));
            EXPECT_EQ(now[1].substr(0, 2), drops ? "80" : "82");
        }
    }
}

// Cancel while the card is copied writes nothing; cancel later keeps the records written, and the
// list is saved and the user told.
TEST_F(CardWrite, CancelAtAnyStepKeepsTheRecordsWrittenSoFar) {
    for (int step = 1; step <= 20; ++step) { // ten records copied, then ten written
        SCOPED_TRACE(step);
        emptyDataFolder();
        insertPhonebook();
        setRows({{"A", "1"}, {"B", "2"}, {"C", "3"}, {"D", "4"}, {"E", "5"}});
        prompts.yesNo = {true};
        progress.steps = 0;
        progress.cancelAtStep = step;
        const WriteResult result = write(CardFile::Phonebook);
        ASSERT_EQ(result.outcome, WriteOutcome::Cancelled);
        const bool copied = step > 10;
        const size_t written = copied ? step - 11 : 0;
        EXPECT_EQ(result.recordsWritten, written);
        EXPECT_EQ(cardRecords(kAdnPath, 10), expected(written, original));
        EXPECT_EQ(prompts.ids(),
                  copied ? (std::vector<int>{8033, 0, 8032}) : (std::vector<int>{8033, 0}));
        EXPECT_EQ(prompts.asked[1].text, "Progress Cancelled");
        EXPECT_EQ(cardBackups().size(), copied ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(dir / "Phone.fph"), copied);
        expectWorkerBack();
    }
}

// A read or write presents the code the user gave the card once: refused, it costs one attempt
// and the operation ends without a word, leaving the card and the list alone.
TEST_F(CardWrite, StoredPinIsPresentedOnce) {
    for (const bool writing : {false, true}) {
        for (const bool right : {true, false}) {
            SCOPED_TRACE(std::string(writing ? "write" : "read") + (right ? "" : ", wrong code"));
            insertPhonebook(10, true);
            setRows({{"A", "1"}});
            prompts.asked.clear();
            prompts.yesNo = {true};
            session.card.chv1Code = right ? "1234" : "9999";
            session.card.chv1CodeOwner = kIdentity;
            EXPECT_EQ(writing ? write(CardFile::Phonebook).outcome == WriteOutcome::Done
                              : read(CardFile::Phonebook) == ReadOutcome::Done,
                      right);
            EXPECT_EQ(card().instructionCount(0x20), 1u);
            EXPECT_EQ(card().chv1().settings().attemptsLeft, right ? 3 : 2);
            expectWorkerBack();
            if (!right) {
                EXPECT_TRUE(prompts.asked.empty());
                EXPECT_EQ(cardRecords(kAdnPath, 10), original);
                EXPECT_EQ(column(session.cardPhonebook, 1), Strings{"A"});
            }
        }
    }
}

// A card without the phonebook, with records too short for a number, or one that will not have
// its phonebook changed (its status response says so): a read says what is missing, a write tells
// only of the refusal, before it asks anything; neither changes the card, the list or the folder.
TEST_F(CardWrite, MissingUnfitOrLockedPhonebookIsLeftAlone) {
    for (const json &c : loadVectors("transfer/unwritable-phonebook.json")) {
        std::vector<TestFile> files;
        for (const json &file : c["files"]) {
            files.push_back(
                {kAdnPath, file["recordLength"], 10, {}, "FF", file.value("update", "")});
        }
        insertCard(files);
        setRows({{"A", "1"}});
        prompts.asked.clear();
        prompts.yesNo = {true};
        EXPECT_TRUE(c["writing"] ? write(CardFile::Phonebook).outcome == WriteOutcome::Failed
                                 : read(CardFile::Phonebook) == ReadOutcome::Failed);
        EXPECT_EQ(prompts.ids(), c["said"].get<std::vector<int>>());
        EXPECT_EQ(column(session.cardPhonebook, 1), Strings{"A"});
        EXPECT_EQ(card().instructionCount(0xDC), 0u);
        EXPECT_EQ(filesIn(dir.path()), 0u);
        expectWorkerBack();
    }
}

// Every message record goes to the card whole and nothing after it; the records after the list
// are cleared, pausing after each message record.
// A SIM keeps the name and number of an entry alone: a row's other fields are reported as not
// written, by their rows' No. values, as a name cut short is.
TEST_F(CardWrite, FieldsWithoutAFileAreReported) {
    insertPhonebook(3);
    session.cardPhonebook =
        RowList({"No.", "Name", "Number", "E-mail", "Additional number", "Second name"});
    session.cardPhonebook.appendRow({"1", "A", "1"});
    session.cardPhonebook.appendRow({"2", "B", "2", "", "", "Bee"});
    prompts.yesNo = {true};
    ASSERT_EQ(write(CardFile::Phonebook).outcome, WriteOutcome::Done);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8033, 9170, 8032}));
    EXPECT_TRUE(prompts.asked[1].text.ends_with(": 2,")) << prompts.asked[1].text;
}

TEST_F(CardWrite, MessagesGoWholeThenTheRestAreCleared) {
    const Strings old = {smsRecord(1), smsRecord(3), kFreeSms, smsRecord(1), kFreeSms};
    insertCard({{kSmsPath, 176, 5, old, "00"}});
    MessageImage received{};
    received[0] = 3;
    received[1] = 0x07;
    received[175] = 0xAA; // the last byte of the record goes too
    received[176] = 0xBB; // nothing after the record does
    session.messages.append({"1", "Unread", "+49", "t", "x"}, received);
    appendComposedMessage(session.messages, "+4930", "new", session.card, texts);
    prompts.yesNo = {true};
    std::vector<int> waits;
    timing.messageUpdate = 7;
    timing.sleeper = [&](int ms) { waits.push_back(ms); };

    const WriteResult result = write(CardFile::Messages);
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    Strings images(5, kFree176);
    for (size_t i = 0; i < 2; ++i) {
        images[i] = CMyTools::hex2asc(session.messages.store()[i].data(), 176);
    }
    EXPECT_EQ(cardRecords(kSmsPath, 5), images);
    ASSERT_EQ(prompts.ids(), (std::vector<int>{8039, 8041}));
    EXPECT_EQ(prompts.asked[0].text, "Write 2 messages to the card? The remaining 3 message "
                                     "records on the card will be cleared.");
    EXPECT_EQ(panes.panes[2], "Wrote 5 message records, 2 of them with messages");
    EXPECT_EQ(readFile(dir / "Message.fsm"), listFileText(session.messages.rows()));
    EXPECT_EQ(waits, std::vector<int>(5, 7));
    expectWorkerBack();

    // An empty list asks whether to clear the card.
    session.messages.clear();
    prompts.asked.clear();
    prompts.yesNo = {true};
    ASSERT_EQ(write(CardFile::Messages).outcome, WriteOutcome::Done);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8077, 8041}));
    EXPECT_EQ(cardRecords(kSmsPath, 5), Strings(5, kFree176));
}

// A CDMA card's messages sit in a directory of their own, in records of their own length, which a
// reader without CDMA cannot reach. The next card's read gives its own.
TEST_F(CardWrite, CdmaMessagesNeedACdmaReader) {
    const Bytes cdma = CMyTools::encodesms("Hello from CDMA", "5551234");
    insertCard({{kCdmaSmsPath, 255, 3, {CMyTools::hex2asc(cdma.data(), cdma.size())}, "00"}});
    session.reader.readerCdmaCapable = false;
    EXPECT_EQ(read(CardFile::Messages), ReadOutcome::Failed);
    appendComposedMessage(session.messages, "5550000", "new", session.card, texts);
    prompts.yesNo = {true};
    EXPECT_EQ(write(CardFile::Messages).outcome, WriteOutcome::Failed);
    EXPECT_EQ(prompts.ids(), (std::vector<int>{8073, 8073}));
    EXPECT_EQ(card().instructionCount(0xDC), 0u);

    session.reader.readerCdmaCapable = true;
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    EXPECT_TRUE(session.card.isCdmaCard);
    EXPECT_EQ(session.card.messageRecordLength, 255u);
    EXPECT_EQ(column(session.messages.rows(), 4), (Strings{"Hello from CDMA"}));
    EXPECT_EQ(column(session.messages.rows(), 2), (Strings{"5551234"}));
    appendComposedMessage(session.messages, "5550000", "new", session.card, texts);
    prompts.yesNo = {true};
    const WriteResult result = write(CardFile::Messages);
    ASSERT_EQ(result.outcome, WriteOutcome::Done);
    const MessageStore &store = session.messages.store();
    EXPECT_EQ(cardRecords(kCdmaSmsPath, 3),
              (Strings{CMyTools::hex2asc(store[0].data(), 255),
                       CMyTools::hex2asc(store[1].data(), 255), "00" + std::string(508, 'F')}));
    std::string error;
    EXPECT_EQ(loadCardBackup(result.cardBackup, error)->filePath, kCdmaSmsPath);

    insertCard({{kSmsPath, 176, 1, {}, "00"}, {kSmspPath, 40, 1, {kSmspRecord}}});
    ASSERT_EQ(read(CardFile::Messages), ReadOutcome::Done);
    EXPECT_FALSE(session.card.isCdmaCard);
    EXPECT_EQ(session.card.messageRecordLength, 176u);
}

} // namespace
} // namespace velnor::test
