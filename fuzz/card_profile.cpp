// Card profiles as a user or a test may write them. A profile that loads must write back to a
// text that loads to the same card.

#include <cstdlib>
#include <string_view>

#include "virtualcard/ProfileJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    const ProfileResult loaded =
        parseCardProfile(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!loaded.profile) {
        if (loaded.error.empty()) {
            std::abort(); // a refusal always says why
        }
        return 0;
    }
    const std::string written = writeCardProfile(*loaded.profile);
    const ProfileResult again = parseCardProfile(written);
    if (!again.profile || writeCardProfile(*again.profile) != written) {
        std::abort();
    }
    return 0;
}
