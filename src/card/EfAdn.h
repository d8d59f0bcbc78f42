#pragma once

// EF ADN, the phonebook (GSM 11.11, 10.5.1): an alpha identifier of the record length less 14
// bytes, then number length, type of number, ten BCD bytes and the capability and extension
// record identifiers.

#include <span>

#include "card/CardFile.h"
#include "codec/CMyTools.h"

namespace velnor {

struct PhoneEntry {
    std::string name;
    std::string number; // with a leading "+" for an international number
    // What a USIM keeps for the entry besides its ADN record (TS 31.102, 4.4.2); a GSM SIM has
    // none of them.
    std::string email{};
    std::string additionalNumber{}; // as number
    std::string secondName{};

    bool operator==(const PhoneEntry &) const = default;
};

struct EfAdn {
    static constexpr std::array<uint16_t, 3> path{df::Master, df::Telecom, 0x6F3A};
    static constexpr uint16_t id = path.back();
    static constexpr size_t tail = 14; // the bytes of a record besides its alpha identifier
    static constexpr std::array<uint8_t, 1> paddings{0xFF};
    using Value = std::optional<PhoneEntry>;

    // The entry of a record, or nullopt when the record is free: its number length is above 11,
    // or it is 0 or 0xFF (no number) and there is no name either.
    static Value decode(std::span<const uint8_t> record);

    // The record of `length` bytes (at least 14) for an entry, or a free record. The name takes
    // its alpha identifier (encodeAlphaIdentifier) cut at the alpha field; the number keeps its
    // first 20 digits, and it is international when it starts with "+". An empty number leaves
    // the number fields 0xFF, as a card keeps a name alone.
    static Bytes encode(const Value &entry, size_t length, bool ucs82Unsupported = false);
    // The record of `length` bytes for an alpha identifier already coded (cut at the alpha
    // field) and a number as above.
    static Bytes compose(const Bytes &alpha, const std::string &number, size_t length);

    static const std::vector<FileVector<Value>> &vectors();
};

} // namespace velnor
