#include "card/EfPbr.h"

#include "card/BerTlv.h"

namespace velnor {

namespace {

constexpr uint8_t Type1 = 0xA8;
constexpr uint8_t Type2 = 0xA9;
constexpr uint8_t Type3 = 0xAA;

} // namespace

std::optional<PbrSet> EfPbr::decode(std::span<const uint8_t> record) {
    const auto templates = berTlvObjects(record);
    if (!templates) {
        return std::nullopt;
    }
    PbrSet set;
    for (const BerTlv &object : *templates) {
        std::vector<PbrFile> *files = object.tag == Type1   ? &set.type1
                                      : object.tag == Type2 ? &set.type2
                                      : object.tag == Type3 ? &set.type3
                                                            : nullptr;
        if (!files) {
            return std::nullopt;
        }
        const auto references = berTlvObjects(object.value);
        if (!references) {
            return std::nullopt;
        }
        for (const BerTlv &reference : *references) {
            const std::span<const uint8_t> v = reference.value;
            if ((reference.tag & 0xF0) != 0xC0 || v.size() < 2 || v.size() > 3) {
                return std::nullopt;
            }
            files->push_back({reference.tag, static_cast<uint16_t>(v[0] << 8 | v[1]),
                              v.size() == 3 ? v[2] : uint8_t(0)});
        }
    }
    return set;
}

} // namespace velnor
