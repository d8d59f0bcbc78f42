#pragma once

#include "reader/CardTransaction.h"

// Before a write changes a card file, every record it will touch is read and kept as a card
// backup, so that no write can lose what the card held.

#include <filesystem>
#include <string>

#include "card/RecordFiles.h"
#include "transfer/CardBackup.h"

#include "transfer/Session.h"

namespace velnor {

// The selected card file to copy, on an open handle.
struct SnapshotSource {
    int handle = -1;
    uint8_t simFunction = 0;
    bool cdma = false;
    std::string identity;
    std::string reader;
    std::string filePath; // "3F00/7F10/6F3A"
    uint8_t recordLength = 0;
    uint16_t recordCount = 0;
    CardTransaction *transaction = nullptr; // ended before the user is told anything
    std::filesystem::path keep;             // a backup being restored, which must stay
    RecordFiles *files = nullptr; // a UICC's files, its file selected; else the driver's commands
};

enum class SnapshotResult {
    Saved,
    Cancelled,  // the user stopped it; nothing is saved
    CardFailed, // a record could not be read
    NotSaved,   // the backup could not be written; the user has been told (text::BackupNotSaved)
};

struct Snapshot {
    SnapshotResult result = SnapshotResult::CardFailed;
    std::filesystem::path file;
};

// Reads records 1 to recordCount in the progress window (text::SavingBackup), which it leaves open,
// and saves them as a card backup in env.backupDir.
Snapshot snapshotCardFile(Environment &env, const SnapshotSource &source);

// Saves records already read as a card backup (the first file in `backup`'s own fields, the
// others in its `more`); the user is told when it cannot be written.
Snapshot saveSnapshot(Environment &env, CardBackup backup, const std::filesystem::path &keep,
                      CardTransaction *transaction);

} // namespace velnor
