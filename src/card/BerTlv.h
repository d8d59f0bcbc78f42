#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velnor {

// One BER-TLV object (ISO/IEC 8825-1) with a one-byte tag, as the templates of a UICC's
// files use them (FCP, EF DIR, EF PBR).
struct BerTlv {
    uint8_t tag;
    std::span<const uint8_t> value;
};

// The objects of a value in order, padding bytes 00 and FF between them skipped; nullopt when
// one runs past the end.
std::optional<std::vector<BerTlv>> berTlvObjects(std::span<const uint8_t> bytes);

} // namespace velnor
