#include "card/BerTlv.h"

namespace velnor {

std::optional<std::vector<BerTlv>> berTlvObjects(std::span<const uint8_t> bytes) {
    std::vector<BerTlv> found;
    size_t at = 0;
    while (at < bytes.size()) {
        const uint8_t tag = bytes[at++];
        if (tag == 0x00 || tag == 0xFF) {
            continue; // padding between objects (ISO/IEC 7816-4, 5.2.2)
        }
        if (at >= bytes.size()) {
            return std::nullopt;
        }
        size_t length = bytes[at++];
        if (length == 0x81 || length == 0x82) {
            const size_t count = length & 0x03;
            if (at + count > bytes.size()) {
                return std::nullopt;
            }
            length = 0;
            for (size_t i = 0; i < count; ++i) {
                length = length << 8 | bytes[at++];
            }
        } else if (length > 0x7F) {
            return std::nullopt;
        }
        if (at + length > bytes.size()) {
            return std::nullopt;
        }
        found.push_back({tag, bytes.subspan(at, length)});
        at += length;
    }
    return found;
}

} // namespace velnor
