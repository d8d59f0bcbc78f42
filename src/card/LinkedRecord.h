#pragma once

// The records that hold an entry's fields besides its ADN record (TS 31.102): EF EMAIL
// (4.4.2.13) and EF SNE (4.4.2.11) a text coded as an alpha identifier; EF ANR (4.4.2.9) the
// record of its label in EF AAS, then a number coded as the last 14 bytes of an ADN record. A
// type 2 record ends in the SFI and record number of the ADN record it belongs to.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "card/EfAdn.h"

namespace velnor {

struct LinkedRecord {
    using BackReference = std::array<uint8_t, 2>; // ADN SFI, ADN record

    // The entry's field a file of this tag holds, nullptr when it holds none of them.
    static std::string *field(PhoneEntry &entry, uint8_t tag);

    // The field a record holds, empty for a free record.
    static std::string decode(uint8_t tag, std::span<const uint8_t> record, bool type2);
    // The record for a field, of the length of `old`, the record it replaces (whose label an
    // additional number keeps); a free record for an empty field; nullopt when it does not fit.
    static std::optional<Bytes> encode(uint8_t tag, const std::string &value,
                                       std::span<const uint8_t> old,
                                       std::optional<BackReference> back, bool ucs82Unsupported);
    // A free record: 00 for the control, group and identifier files, FF for the others.
    static Bytes free(uint8_t tag, size_t length);
    static BackReference backReference(std::span<const uint8_t> record);
    // Whether an EF IAP byte names a record of a type 2 file; 00 and FF name none.
    static bool namesRecord(uint8_t reference) { return reference != 0x00 && reference != 0xFF; }
};

} // namespace velnor
