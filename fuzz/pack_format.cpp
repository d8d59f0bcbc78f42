// Texts of a language pack used as formats: whatever a translator wrote, formatting with the
// arguments the program gives never crashes and never writes past its output.

#include <string_view>

#include "base/Texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const std::string_view format(reinterpret_cast<const char *>(data), size);
    const FormatArg numbers[] = {250LL, -3LL};
    formatChecked(format, numbers);
    const FormatArg text[] = {std::string("8901234567890123456"), 0xB0LL};
    formatChecked(format, text);
    formatChecked(format, {});
    return 0;
}
