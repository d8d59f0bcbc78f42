#pragma once

#include "reader/CardTransaction.h"
#include "transfer/Session.h"

namespace velnor {

// One step of a record-by-record card operation in the progress window: steps the window and
// lets its events run. When the user has pressed Cancel, the card transaction (if any) ends
// before the user is told, and the operation is to stop: false.
bool progressGoesOn(Environment &env, CardTransaction *transaction);

} // namespace velnor
