// Phonebook records as a card may hold them, of any length. A record that yields an entry must
// give valid UTF-8 and a number of at most 20 dialling characters with an optional "+", and the
// entry written back must read as the same number.

#include <cstdlib>

#include "base/Utf8.h"
#include "card/EfAdn.h"
#include "records/PhonebookFit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::optional<PhoneEntry> entry = EfAdn::decode({data, size});
    if (!entry) {
        return 0;
    }
    const bool plus = !entry->number.empty() && entry->number[0] == '+';
    if (!isValidUtf8(entry->name) || entry->number.size() > kMaxNumberDigits + (plus ? 1 : 0)) {
        std::abort();
    }
    // An entry of neither name nor number is written as a free record.
    const Bytes again = EfAdn::encode(entry, size);
    const std::optional<PhoneEntry> back = EfAdn::decode(again);
    const bool nothing = entry->name.empty() && entry->number.empty();
    if (again.size() != size || (back ? back->number != entry->number : !nothing)) {
        std::abort();
    }
    return 0;
}
