// The list file field parser on any bytes: the fields never hold more bytes than the text, a
// text has fields exactly when it is not empty, commas bound their number, an index beyond
// them throws the parser's own exception, and the cursor gives the same fields.

#include "files/CsvLineParser.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const CCSVLineParser parser(text);
    const size_t count = parser.FieldCount();
    if ((count == 0) != text.empty()) {
        std::abort();
    }
    if (count > static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1) {
        std::abort();
    }
    CsvFieldCursor cursor(text);
    std::string field;
    size_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        const std::string &parsed = parser.GetField(static_cast<std::ptrdiff_t>(i));
        total += parsed.size();
        if (!cursor.next(field) || field != parsed) {
            std::abort();
        }
    }
    if (total > size || cursor.next(field)) {
        std::abort();
    }
    try {
        parser.GetField(static_cast<std::ptrdiff_t>(count));
        std::abort();
    } catch (const CCSVLineParser::Range &) {
    }
    return 0;
}
