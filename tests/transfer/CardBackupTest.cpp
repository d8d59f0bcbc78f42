#include <gtest/gtest.h>

#include "support/TestVectors.h"
#include "transfer/CardBackup.h"

namespace velnor::test {
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
// with lines ending in LF alone or a last line without an end, and so do several files of one
// write. Anything incomplete is refused with a reason.
TEST(CardBackup, TextReadsBackAndAnythingIncompleteIsRefused) {
    const std::vector<json> vectors = loadVectors("transfer/card-backup.json");
    const std::string text = vectors.at(0)["text"];
    EXPECT_EQ(cardBackupText(sample()), text);
    std::string unix = text;
    std::erase(unix, '\r');
    unix.pop_back();
    for (const std::string &good : {text, unix}) {
        std::string error;
        const std::optional<CardBackup> back = parseCardBackup(good, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(cardBackupText(*back), text);
    }
    for (const json &v : vectors) {
        std::string wrong =
            v.contains("bad") ? v["bad"].get<std::string>() : text + v.value("added", "");
        if (v.contains("from")) {
            const std::string from = v["from"];
            wrong.replace(wrong.find(from), from.size(), v["to"].get<std::string>());
        }
        std::string error;
        const std::optional<CardBackup> parsed = parseCardBackup(wrong, error);
        EXPECT_EQ(parsed.has_value(), v.value("good", false)) << v["what"];
        EXPECT_EQ(parsed ? cardBackupText(*parsed) : error.empty() ? "" : wrong, wrong);
    }
    TempDir dir;
    writeFile(dir / "file", "x");
    std::string error;
    EXPECT_FALSE(saveCardBackup(dir / "file" / "below", sample(), kMay1, {}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(loadCardBackup(dir / "missing.txt", error));
}

TEST(CardBackup, FileNamesSortByTime) {
    for (const json &v : loadVectors("transfer/card-backup-names.json")) {
        EXPECT_EQ(cardBackupFileName(v["identity"], v["file"], kMay1), v["name"]);
    }
}

// Each vector saves backups of one card and looks which of them pruning leaves.
TEST(CardBackup, PruningKeepsTheNewestCopyOfEveryContent) {
    for (const json &v : loadVectors("transfer/card-backup-pruning.json")) {
        const std::string contents = textOf(v["contents"]);
        const int restoring = v["restoring"];
        TempDir dir;
        CardBackup other = sample();
        other.identity = "1111";
        std::string error;
        const auto otherPath = saveCardBackup(dir.path(), other, kMay1, {}, error);
        Paths saved;
        std::string left;
        for (size_t i = 0; i < contents.size(); ++i) {
            CardBackup backup = sample();
            backup.records[0][0] = static_cast<uint8_t>(std::toupper(contents[i]));
            if (std::islower(contents[i])) { // the same first file, and a second one
                backup.more.push_back({"3F00/7F10/5F3A/4F25", 1, {{uint8_t(contents[i])}}});
            }
            const std::filesystem::path keep =
                restoring >= 0 && i > size_t(restoring) ? saved[restoring] : "";
            saved.push_back(
                saveCardBackup(dir.path(), backup, kMay1 + i * 1s, keep, error).value());
        }
        for (const auto &path : saved) {
            left += std::filesystem::exists(path) ? 'x' : '.';
        }
        EXPECT_EQ(left, textOf(v["left"])) << contents;
        EXPECT_TRUE(std::filesystem::exists(*otherPath)) << "another card's backups stay";
    }

    // The backup just taken stays, though a clock set back names it older than its repetition,
    // and two in one millisecond get names of their own.
    TempDir dir;
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
} // namespace velnor::test
