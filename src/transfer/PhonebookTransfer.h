#pragma once

#include "base/StatusPanes.h"
#include "card/EfAdn.h"
#include "transfer/Session.h"

namespace velnor {

// The cells of a phonebook row numbered `number` for an entry, and the entry a row holds: the
// columns of records/MessageStore.h.
std::vector<std::string> phonebookRowCells(std::string number, const PhoneEntry &entry);
PhoneEntry phoneEntryOfRow(const RowList &list, size_t row);

// Moves the ticked rows (or every row) of the card phonebook list to the local list, skipping
// entries the local list already has; every moved row leaves the card list. Pane 2 reports how
// many rows were taken and how many of them were duplicates.
void moveFromCardList(Session &session, StatusLine &status, bool everyRow);

// Copies the ticked rows of the local list to the card list, skipping entries it already has.
void copyToCardList(Session &session, StatusLine &status);

} // namespace velnor
