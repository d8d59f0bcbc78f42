#pragma once

#include <filesystem>

#include "transfer/ReadCard.h"

namespace velnor {

enum class WriteOutcome {
    Done,      // every record of the file written
    Cancelled, // the user stopped it; the records so far are written
    Declined,  // the user answered no; nothing was written
    Failed,    // the card, its file or the card backup failed; see recordsWritten
};

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Failed;
    size_t recordsWritten = 0;
    std::filesystem::path cardBackup; // the copy of the records taken before the first write
};

// Rewrites the card's whole phonebook file from the card phonebook list, or its message file
// from the message store, in record order; records beyond the list are cleared. Every record is
// copied to a card backup first. Afterwards the list is saved as "Phone.fph" or "Message.fsm".
WriteResult writeCard(Session &session, Environment &env, CardFile file);

} // namespace velnor
