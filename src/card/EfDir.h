#pragma once

// EF DIR (TS 102 221, 13.1; 3F00/2F00): one application template a record, tag 61 holding the
// application's AID (4F) and label (50).

#include <optional>
#include <span>

#include "card/CardFile.h"

namespace velnor {

struct EfDir {
    static constexpr std::array<uint16_t, 2> path{df::Master, 0x2F00};
    static constexpr uint16_t id = path.back();

    // The AID of the USIM a record names (TS 101 220, Annex E: RID A000000087, application
    // code 1002), nullopt for another application or a free record.
    static std::optional<Bytes> usimAid(std::span<const uint8_t> record);
};

} // namespace velnor
