// The CSV contact reader on any bytes. The first byte chooses columns (bit 0: a choice is made,
// bits 1-3 the name's column, bits 4-6 the number's); the rest is the file. The reader ends,
// every contact takes a record of its own, no number is empty or keeps a separator, and a text
// in UTF-8 gives names and numbers in UTF-8.

#include "ContactCheck.h"
#include "base/Utf8.h"
#include "files/CsvReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
    std::optional<CsvColumnChoice> choice;
    if ((data[0] & 1) != 0) {
        choice = CsvColumnChoice{static_cast<size_t>((data[0] >> 1) & 7),
                                 static_cast<size_t>((data[0] >> 4) & 7)};
    }
    const bool utf8 = isValidUtf8(text);
    CsvReader reader(text, choice);
    size_t contacts = 0;
    for (Contact contact; reader.next(contact); ++contacts) {
        fuzz::checkContact(contact, utf8);
    }
    const size_t lineEnds =
        static_cast<size_t>(std::ranges::count(text, '\n') + std::ranges::count(text, '\r'));
    if (contacts > lineEnds) {
        std::abort();
    }
    return 0;
}
