#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "transfer/CardBackup.h"
#include "transfer/Session.h"

namespace velnor {

enum class RestoreOutcome {
    Done,
    Cancelled,      // the user stopped it; the records so far are written
    NotOpened,      // the card, its PIN or the file could not be reached; nothing written
    OtherCard,      // the card in the reader is not the card of the backup; nothing written
    Unmatched,      // the card or the backup has no identity to compare, and writeUnmatched
                    // did not allow it; nothing written
    FileDiffers,    // the card's file has another record length or count; nothing written
    Refused,        // the card's access conditions keep the file from change; nothing written
    BackupNotSaved, // the card's present records could not be kept first; nothing written
    CardFailed,     // a record could not be written; the records before it are
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::NotOpened;
    std::string cardIdentity; // of the card in the reader
    size_t recordsWritten = 0;
    std::filesystem::path cardBackup; // the card's records as they were before the restore
};

struct RestoreRequest {
    std::filesystem::path file; // the backup's file: saving the present records never removes it
    // Asked with the identity of the card in the reader when it cannot be compared with the
    // backup's (see IdentityMatch::Unknown); true writes the backup onto that card all the same.
    std::function<bool(const std::string &cardIdentity)> writeUnmatched;
};

// Writes every record of a card backup back to the card it was taken from. The card's present
// records are kept as a card backup of their own first, so a restore can be undone too.
RestoreResult restoreCardBackup(Session &session, Environment &env, const CardBackup &backup,
                                const RestoreRequest &request);

} // namespace velnor
