#include "card/EfDir.h"

#include <algorithm>

#include "card/BerTlv.h"

namespace velnor {

std::optional<Bytes> EfDir::usimAid(std::span<const uint8_t> record) {
    constexpr std::array<uint8_t, 7> UsimPrefix{0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02};
    if (record.size() < 4 || record[0] != 0x61 || record[1] + 2u > record.size()) {
        return std::nullopt;
    }
    const auto inner = berTlvObjects(record.subspan(2, record[1]));
    if (!inner) {
        return std::nullopt;
    }
    for (const BerTlv &object : *inner) {
        if (object.tag == 0x4F) {
            if (object.value.size() < UsimPrefix.size() ||
                !std::equal(UsimPrefix.begin(), UsimPrefix.end(), object.value.begin())) {
                return std::nullopt;
            }
            return Bytes(object.value.begin(), object.value.end());
        }
    }
    return std::nullopt;
}

} // namespace velnor
