#include <functional>

#include "support/CardFixture.h"
#include "support/UnwritablePlace.h"

namespace velnor::test {
namespace {

// Reads and writes whose data folder is full or read-only: the card is read, or left alone,
// the user is told what could not be saved, and the files already there stay whole.
class DiskFaults : public CardFixture {
protected:
    void SetUp() override {
        CardFixture::SetUp();
        insertCard({{kAdnPath, 30, 3, {adnRecord("Anna", "1")}}});
    }
    // Runs `operation` in each unwritable place, in a child; 0 from it means it went as it should.
    void everywhere(const std::function<int()> &operation) {
        const std::string backup = readFile(dir / "Phone.fph");
        const std::string log = readFile(dir / "phone.log");
        const size_t files = filesIn(dir.path());
        for (const Unwritable place : kUnwritablePlaces) {
            SCOPED_TRACE(describe(place));
            const int exitCode = inUnwritablePlace(place, dir.path(), [&] {
                prompts.asked.clear();
                card().powerOn(); // counts commands afresh
                const int failed = operation();
                // Neither a read nor a write without room for its backup changes the card, and
                // the user is told so only once the card is free again.
                return failed                               ? failed
                       : prompts.askedInTransaction > 0     ? 8
                       : card().instructionCount(0xDC) == 0 ? 0
                                                            : 9;
            });
            EXPECT_EQ(exitCode, 0);
            EXPECT_EQ(readFile(dir / "Phone.fph"), backup);
            EXPECT_EQ(readFile(dir / "phone.log"), log);
            EXPECT_EQ(filesIn(dir.path()), files);
        }
    }
};

TEST_F(DiskFaults, ReadKeepsTheOldBackupAndLogAndTheCard) {
    ASSERT_EQ(read(CardFile::Phonebook), ReadOutcome::Done);
    everywhere([&] {
        if (read(CardFile::Phonebook) != ReadOutcome::Done ||
            session.cardPhonebook.rowCount() != 1) {
            return 1;
        }
        return prompts.ids() == std::vector<int>{9005, 8055, 8023} ? 0 : 2;
    });
}

TEST_F(DiskFaults, WriteWithoutRoomForTheCardBackupLeavesTheCardAlone) {
    writeFile(dir / "Phone.fph", "the last backup");
    session.cardPhonebook.appendRow({"1", "New", "2"});
    everywhere([&] {
        prompts.yesNo = {true};
        const WriteResult result = write(CardFile::Phonebook);
        if (result.outcome == WriteOutcome::Done || result.recordsWritten != 0) {
            return 1;
        }
        return !prompts.asked.empty() && prompts.asked.back().id == 9003 ? 0 : 2;
    });
}

} // namespace
} // namespace velnor::test
