#pragma once

// The FCP template a UICC returns on SELECT (TS 102 221, 11.1.1.3), as far as Velnor reads it.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velnor {

struct Fcp {
    // TS 102 221, 11.1.1.4.3: bits 6 to 4 of the file descriptor byte, 111 a directory; bits 3
    // to 1 the structure of an elementary file.
    enum class Type { Directory, Transparent, LinearFixed, Cyclic, BerTlv, Unknown };

    Type type = Type::Unknown;
    uint16_t fileId = 0;
    size_t size = 0; // the body of an elementary file (tag 80)
    uint16_t recordLength = 0;
    uint16_t recordCount = 0;
    uint8_t sfi = 0;          // 0: the file has none
    std::vector<uint8_t> aid; // of an ADF (tag 84)
    // Of a directory: whether PIN1 (key reference 01) is enabled, from the PS_DO of its PIN
    // status template (TS 102 221, 9.5.2); nullopt when the template does not name PIN1.
    std::optional<bool> pin1Enabled;
};

// The template (tag 62) and what it says; nullopt for bytes that are no FCP template.
std::optional<Fcp> parseFcp(std::span<const uint8_t> bytes);

} // namespace velnor
