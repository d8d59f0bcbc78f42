// Stored CDMA short messages. The first byte chooses the direction (bit 0 set: received); a
// message that decodes must hold valid UTF-8 and survive being composed again.

#include "base/Utf8.h"
#include "codec/CMyTools.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    if (size == 0) {
        return 0;
    }
    const bool received = (data[0] & 1) != 0;
    SM_PARAM param;
    if (!CMyTools::cdmaDecodePdu(data + 1, size - 1, param, received)) {
        return 0;
    }
    if (!isValidUtf8(param.text) || !isValidUtf8(param.number)) {
        std::abort();
    }
    const Bytes record = CMyTools::encodesms(param.text, param.number);
    SM_PARAM again;
    if (record.size() > 255 ||
        !CMyTools::cdmaDecodePdu(record.data() + 1, record.size() - 1, again, false)) {
        std::abort();
    }
    return 0;
}
