// The vCard reader on any bytes: it ends, every contact takes a line of its own and every number
// a colon, no number is empty or keeps a separator, and a text in UTF-8 gives names and numbers
// in UTF-8, whatever CHARSET and quoted-printable say.

#include "ContactCheck.h"
#include "base/Utf8.h"
#include "files/VCardReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const bool utf8 = isValidUtf8(text);
    VCardReader reader(text);
    size_t contacts = 0;
    size_t numbers = 0;
    for (Contact contact; reader.next(contact); ++contacts) {
        fuzz::checkContact(contact, utf8);
        numbers += contact.numbers.size();
    }
    if (contacts > static_cast<size_t>(std::ranges::count(text, '\n')) + 1 ||
        numbers > static_cast<size_t>(std::ranges::count(text, ':'))) {
        std::abort();
    }
    return 0;
}
