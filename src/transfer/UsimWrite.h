#pragma once

// Writing the phonebook of a USIM: the updates UsimPhonebook plans, applied in their order inside
// the card transaction, with the progress window and the question of the 0x82 name coding.

#include <vector>

#include "card/UsimPhonebook.h"
#include "reader/CardTransaction.h"
#include "records/CardState.h"
#include "transfer/RecordWriting.h"

namespace velnor {

struct UsimWrite {
    RecordsWritten outcome = RecordsWritten::CardFailed;
    size_t updates = 0;            // the records the card took
    std::vector<size_t> unwritten; // positions whose field had no file to go to
};

// Makes the card, whose files a snapshot holds as `before`, hold `wanted` position by position.
// An alpha field in the 0x82 coding is written and read back once, as on a SIM; when the card
// did not keep it, the rest is planned again without that coding from what the card now holds.
UsimWrite writeUsimPhonebook(Environment &env, const UsimPhonebook &book, RecordFiles &files,
                             std::vector<FileImage> before, const std::vector<EfAdn::Value> &wanted,
                             CardState &card, CardTransaction &transaction);

} // namespace velnor
