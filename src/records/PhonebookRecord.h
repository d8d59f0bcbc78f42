#pragma once

// The phonebook record of the card (EF_ADN, GSM 11.11, 10.5.1): an alpha identifier of
// alphaLength bytes, then number length, type of number, ten BCD bytes and two identifiers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/CMyTools.h"

namespace velnor {

// The bytes of a record besides its alpha identifier.
inline constexpr size_t kPhonebookRecordOverhead = 14;
inline constexpr size_t kMaxNumberDigits = 20;

struct PhoneEntry {
    std::string name;
    std::string number; // with a leading "+" for an international number

    bool operator==(const PhoneEntry &) const = default;
};

// The entry of one record as the card holds it, or nullopt when the record is free: its number
// length is above 11, or it is 0 or 0xFF (no number) and there is no name either. `record`
// holds `length` bytes.
std::optional<PhoneEntry> decodePhonebookRecord(const uint8_t *record, size_t length);

// The record image of an entry for records of `length` bytes (at least 14). The name takes the
// first coding that fits of GSM 7-bit, 0x81, 0x82 and 0x80 (as ucs2Storable has it) and is cut
// at the alpha field; the number keeps its first 20 digits, and it is international when it
// starts with "+". An empty number leaves the number fields 0xFF, as a card keeps a name alone.
Bytes encodePhonebookRecord(const PhoneEntry &entry, size_t length, bool ucs82Unsupported);

// The record image of a free record.
Bytes emptyPhonebookRecord(size_t length);

// Whether a name fits an alpha field of alphaLength bytes in the coding the card will get, and
// reads back from it as it is.
bool nameFitsCard(const std::string &name, uint32_t alphaLength, bool ucs82Unsupported);

// Whether the card keeps a number as it is: a "+" only as its first character, at most 20
// digits.
bool numberFitsCard(std::string_view number);

// The alpha identifier bytes the name gets, before any cut to the alpha field.
Bytes encodeAlphaIdentifier(const std::string &name, bool ucs82Unsupported);

} // namespace velnor
