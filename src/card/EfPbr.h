#pragma once

// EF PBR, the phonebook reference file of a USIM phonebook (TS 31.102, 4.4.2.1): per record one
// set of files, in constructed objects A8 (type 1: a record per ADN record), A9 (type 2: reached
// through EF IAP) and AA (type 3: reached from inside other records). Each file is an object
// C0 to CB with its identifier and an optional SFI.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velnor {

namespace pbr {
inline constexpr uint8_t Adn = 0xC0;
inline constexpr uint8_t Iap = 0xC1;
inline constexpr uint8_t Ext1 = 0xC2;
inline constexpr uint8_t Sne = 0xC3;
inline constexpr uint8_t Anr = 0xC4;
inline constexpr uint8_t Pbc = 0xC5;
inline constexpr uint8_t Grp = 0xC6;
inline constexpr uint8_t Uid = 0xC9;
inline constexpr uint8_t Email = 0xCA;
} // namespace pbr

struct PbrFile {
    uint8_t tag = 0;
    uint16_t id = 0;
    uint8_t sfi = 0; // 0: none given
    bool operator==(const PbrFile &) const = default;
};

struct PbrSet {
    std::vector<PbrFile> type1, type2, type3; // each in the order the record lists them
    bool operator==(const PbrSet &) const = default;
};

struct EfPbr {
    static constexpr uint16_t id = 0x4F30;

    // The set of one record; a record of filler is an empty set, bytes that are no templates of
    // file references nullopt.
    static std::optional<PbrSet> decode(std::span<const uint8_t> record);
};

} // namespace velnor
