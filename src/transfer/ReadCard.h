#pragma once

#include "transfer/Session.h"

namespace velnor {

enum class CardFile { Phonebook, Messages };

enum class ReadOutcome {
    Done,      // every record read
    Cancelled, // the user stopped it; the rows so far are listed and backed up
    Failed,    // the card or its file could not be read; see the lists for what stayed
};

// What a read did.
struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Failed;
    uint16_t records = 0; // in the card file
    size_t rows = 0;      // listed at the end: the entries or messages found
};

// Reads the card's phonebook into the card phonebook list, or its messages into the message
// list and store, with the log, the backup, the progress window and the status panes.
ReadResult readCard(Session &session, Environment &env, CardFile file);

} // namespace velnor
