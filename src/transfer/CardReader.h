#pragma once

#include "transfer/Session.h"

namespace velnor {

enum class CardFile { Phonebook, Messages };

enum class ReadOutcome {
    Done,      // every record read
    Cancelled, // the user stopped it; the rows so far are listed and backed up
    Failed,    // the card or its file could not be read; see the lists for what stayed
};

// Reads the card's phonebook into the card phonebook list, or its messages into the message
// list and store, with the log, the backup, the progress window and the status panes.
ReadOutcome readCard(Session &session, Environment &env, CardFile file);

} // namespace velnor
