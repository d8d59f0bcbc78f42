#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "transfer/CardBackup.h"

namespace velnor {
namespace {

using namespace std::chrono_literals;
using Paths = std::vector<std::filesystem::path>;

// 2024-05-01 12:00:00.123 UTC
const std::chrono::system_clock::time_point kMay1 =
    std::chrono::system_clock::from_time_t(1714564800) + 123ms;

CardBackup sample() {
    return {"89012345678901234567",
            "sim:/tmp/card.json",
            std::string(kPhonebookFilePath),
            backupTimeText(kMay1),
            3,
            {{0x4A, 0xFF, 0x00}, {0xFF, 0xFF, 0xFF}}};
}

// The text names the card and holds one hexadecimal line per record; it reads back the same,
// with lines ending in LF alone or a last line without an end. Anything incomplete is refused
// with a reason.
TEST(CardBackup, TextReadsBackAndAnythingIncompleteIsRefused) {
    const std::string text = cardBackupText(sample());
    EXPECT_EQ(text, "Velnor card backup\r\nidentity: 89012345678901234567\r\n"
                    "reader: sim:/tmp/card.json\r\nfile: 3F00/7F10/6F3A\r\n"
                    "taken: 2024-05-01 12:00:00 UTC\r\nrecord length: 3\r\nrecord count: 2\r\n"
                    "4AFF00\r\nFFFFFF\r\n");
    std::string unix = text;
    std::erase(unix, '\r');
    unix.pop_back();
    for (const std::string &good : {text, unix}) {
        std::string error;
        const std::optional<CardBackup> back = parseCardBackup(good, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(cardBackupText(*back), text);
    }

    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string changed = text;
        return changed.replace(changed.find(from), from.size(), to);
    };
    const std::string bad[] = {
        "",
        "Not a backup\r\n",
        replaced("3F00/7F10/6F3A", "3F00/2FE2"), // a file a write never changes
        replaced("record length: 3", "record length: 0"),
        replaced("record count: 2", "record count: 3"), // a record missing
        replaced("FFFFFF\r\n", "FFFF\r\n"),             // a record too short
        replaced("4AFF00", "4AFG00"),                   // not hexadecimal
        text + "FFFFFF\r\n",                            // one record too many
    };
    for (const std::string &wrong : bad) {
        std::string error;
        EXPECT_FALSE(parseCardBackup(wrong, error)) << wrong;
        EXPECT_FALSE(error.empty());
    }
    test::TempDir dir;
    test::writeFile(dir / "file", "x");
    std::string error;
    EXPECT_FALSE(saveCardBackup(dir / "file" / "below", sample(), kMay1, {}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(loadCardBackup(dir / "missing.txt", error));
}

TEST(CardBackup, FileNamesSortByTime) {
    EXPECT_EQ(cardBackupFileName("8901", std::string(kPhonebookFilePath), kMay1),
              "card-8901-20240501-120000-123-6F3A.txt");
    EXPECT_EQ(cardBackupFileName("", std::string(kCdmaMessageFilePath), kMay1),
              "card-unknown-20240501-120000-123-6F3C.txt");
    EXPECT_EQ(cardBackupFileName("89/01", std::string(kMessageFilePath), kMay1),
              "card-89_01-20240501-120000-123-6F3C.txt");
}

// Each row saves backups of one card, oldest first, holding the contents its letters name (B:
// a card that a write left half changed, again and again); `restoring` names a backup being
// restored during the later saves. `left` marks the backups that stay.
TEST(CardBackup, PruningKeepsTheNewestCopyOfEveryContent) {
    const struct {
        std::string contents;
        int restoring;
        std::string left;
    } rows[] = {
        {"A" + std::string(24, 'B'), -1, "x" + std::string(23, '.') + "x"},
        {"ABA", -1, ".xx"},
        {"ABCDEFGHIJKLMNOPQRSTU", 0, std::string(21, 'x')}, // the oldest of many restored
        {"AA", 0, "xx"},                                    // restored onto a card holding it
    };
    for (const auto &row : rows) {
        test::TempDir dir;
        CardBackup other = sample();
        other.identity = "1111";
        std::string error;
        const auto otherPath = saveCardBackup(dir.path(), other, kMay1, {}, error);
        Paths saved;
        std::string left;
        for (size_t i = 0; i < row.contents.size(); ++i) {
            CardBackup backup = sample();
            backup.records[0][0] = static_cast<uint8_t>(row.contents[i]);
            const std::filesystem::path keep =
                row.restoring >= 0 && i > size_t(row.restoring) ? saved[row.restoring] : "";
            saved.push_back(
                saveCardBackup(dir.path(), backup, kMay1 + i * 1s, keep, error).value());
        }
        for (const auto &path : saved) {
            left += std::filesystem::exists(path) ? 'x' : '.';
        }
        EXPECT_EQ(left, row.left) << row.contents;
        EXPECT_TRUE(std::filesystem::exists(*otherPath)) << "another card's backups stay";
    }

    // The backup just taken stays, though a clock set back names it older than its repetition,
    // and two in one millisecond get names of their own.
    test::TempDir dir;
    std::string error;
    CardBackup changed = sample();
    changed.records[1][0] = 0x00;
    const auto later = saveCardBackup(dir.path(), sample(), kMay1, {}, error);
    const auto early = saveCardBackup(dir.path(), sample(), kMay1 - 24h, {}, error);
    const auto same = saveCardBackup(dir.path(), changed, kMay1 - 24h, {}, error);
    ASSERT_TRUE(later && early && same);
    EXPECT_EQ(cardBackupsOf(dir.path(), sample().identity), (Paths{*early, *same}));
    EXPECT_TRUE(loadCardBackup(*same, error)) << error;
}

} // namespace
} // namespace velnor
