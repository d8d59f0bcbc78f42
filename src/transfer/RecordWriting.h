#pragma once

#include "reader/CardTransaction.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "card/RecordFiles.h"
#include "transfer/Session.h"

namespace velnor {

using RecordBuffer = std::array<uint8_t, 260>;

// The selected card file to rewrite, on an open handle.
struct RecordTarget {
    int handle = -1;
    uint8_t simFunction = 0;
    bool cdma = false;
    bool phonebook = false; // the pane counts phonebook records, else message records
    uint8_t recordLength = 0;
    uint16_t recordCount = 0;
    CardTransaction *transaction = nullptr; // ended before the user is told anything
    RecordFiles *files = nullptr; // a UICC's files, its file selected; else the driver's commands
};

enum class RecordsWritten { All, Cancelled, CardFailed };

// Writes records 1 to recordCount in record order in the progress window (text::PleaseWait,
// text::WorkingWithCard), with status pane 2 counting along, a pause after each message record, and
// the user's Cancel seen before each record. `record(i)` gives the image of record i + 1, or
// nullopt when the card failed while it was made (making it may ask the card something about that
// record first); `written` counts the records the card took. The progress window is left open.
RecordsWritten
writeRecords(Environment &env, const RecordTarget &target,
             const std::function<std::optional<RecordBuffer>(uint16_t index)> &record,
             size_t &written);

} // namespace velnor
