#include "WriteFixture.h"

#include "support/UnwritablePlace.h"

namespace velnor::test {
namespace {

constexpr uint8_t kUpdateRecord = 0xDC;

// Reads and writes whose data folder is full or read-only: the card is read, or left alone,
// the user is told what could not be saved, and the files already there stay whole.
class DiskFaults : public WriteFixture {
protected:
    void SetUp() override {
        WriteFixture::SetUp();
        insertCard({{kAdnPath, 30, 3, {adnRecord("Anna", "1")}}});
    }
};

TEST_F(DiskFaults, ReadKeepsTheOldBackupAndLogAndTheCard) {
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    const std::string backup = readFile(dir / "Phone.fph");
    const std::string log = readFile(dir / "phone.log");
    const size_t files = filesIn(dir.path());
    for (const Unwritable place : kUnwritablePlaces) {
        SCOPED_TRACE(describe(place));
        const int status = inUnwritablePlace(place, dir.path(), [&] {
            prompts.asked.clear();
            card().powerOn(); // counts commands afresh
            if (read(CardFile::Phonebook) != ReadOutcome::Done ||
                session.cardPhonebook.rowCount() != 1) {
                return 1;
            }
            if (card().instructionCount(kUpdateRecord) != 0) {
                return 2;
            }
            return prompts.ids() == std::vector<int>{9005, 8055, 8023} ? 0 : 3;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(dir / "Phone.fph"), backup);
        EXPECT_EQ(readFile(dir / "phone.log"), log);
        EXPECT_EQ(filesIn(dir.path()), files);
    }
}

TEST_F(DiskFaults, WriteWithoutRoomForTheCardBackupLeavesTheCardAlone) {
    writeFile(dir / "Phone.fph", "the last backup");
    session.cardPhonebook.appendRow({"1", "New", "2"});
    for (const Unwritable place : kUnwritablePlaces) {
        SCOPED_TRACE(describe(place));
        const int status = inUnwritablePlace(place, dir.path(), [&] {
            prompts.yesNo = {true};
            const WriteResult result = write(CardFile::Phonebook);
            if (result.outcome == WriteOutcome::Done || result.recordsWritten != 0) {
                return 1;
            }
            if (card().instructionCount(kUpdateRecord) != 0) {
                return 2;
            }
            return !prompts.asked.empty() && prompts.asked.back().id == 9003 ? 0 : 3;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(readFile(dir / "Phone.fph"), "the last backup");
        EXPECT_EQ(filesIn(dir.path()), 1u);
    }
}

} // namespace
} // namespace velnor::test
