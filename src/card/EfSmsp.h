#pragma once

// EF SMSP, the short message parameters (GSM 11.11, 10.5.6): an alpha identifier of the record
// length less 28 bytes, the parameter indicators, the destination and service centre addresses
// of 12 bytes each, the protocol identifier, the coding scheme and the validity period.

#include <span>

#include "card/CardFile.h"
#include "codec/CMyTools.h"

namespace velnor {

// The service centre address as GSM 04.11 codes it: a length that counts the type and the BCD
// bytes after it, 0xFF when unused.
struct ServiceCentreAddress {
    uint8_t length = 0xFF;
    uint8_t type = 0xFF;
    std::string number;

    bool holdsNumber() const { return length >= 1 && length <= 11; }
    bool operator==(const ServiceCentreAddress &) const = default;
};

struct SmsParameters {
    std::string name;
    uint8_t indicators = 0xFF; // a bit set says the parameter is absent
    Bytes destination = Bytes(12, 0xFF);
    ServiceCentreAddress serviceCentre;
    uint8_t protocolId = 0xFF;
    uint8_t codingScheme = 0xFF;
    uint8_t validity = 0xFF;

    bool serviceCentreGiven() const { return (indicators & 0x02) == 0; }
    bool operator==(const SmsParameters &) const = default;
};

struct EfSmsp {
    static constexpr std::array<uint16_t, 3> path{df::Master, df::Telecom, 0x6F42};
    static constexpr uint16_t id = path.back();
    static constexpr size_t tail = 28;
    static constexpr std::array<uint8_t, 1> paddings{0xFF};
    using Value = std::optional<SmsParameters>;

    // nullopt for a record too short to hold the parameters.
    static Value decode(std::span<const uint8_t> record);
    static Bytes encode(const Value &parameters, size_t length);
    static const std::vector<FileVector<Value>> &vectors();
};

} // namespace velnor
