// The list file field parser on any bytes: the fields never hold more bytes than the text, a
// text has fields exactly when it is not empty, and commas bound their number.

#include "files/CsvLineParser.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    CsvFieldCursor cursor(text);
    size_t count = 0;
    size_t total = 0;
    for (std::string field; cursor.next(field); ++count) {
        total += field.size();
    }
    if ((count == 0) != text.empty() || total > size ||
        count > static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1) {
        std::abort();
    }
    return 0;
}
