#pragma once

#include "base/StatusPanes.h"
#include "transfer/Session.h"

namespace velnor {

// Moves the ticked rows (or every row) of the card phonebook list to the local list, skipping
// entries the local list already has; every moved row leaves the card list. Pane 2 reports how
// many rows were taken and how many of them were duplicates.
void moveFromCardList(Session &session, StatusLine &status, bool everyRow);

// Copies the ticked rows of the local list to the card list, skipping entries it already has.
void copyToCardList(Session &session, StatusLine &status);

} // namespace velnor
