#include "card/EfSmsp.h"

#include <algorithm>

#include "codec/AlphaIdentifier.h"

namespace velnor {

namespace {

constexpr size_t kAddressBytes = 12;
constexpr size_t kNumberBytes = 10;

} // namespace

EfSmsp::Value EfSmsp::decode(std::span<const uint8_t> record) {
    if (record.size() < tail) {
        return std::nullopt;
    }
    const size_t y = record.size() - tail;
    const uint8_t *fields = record.data() + y;
    SmsParameters parameters;
    parameters.name = decodeAlphaIdentifier(record.data(), y);
    parameters.indicators = fields[0];
    parameters.destination.assign(fields + 1, fields + 1 + kAddressBytes);
    const uint8_t *centre = fields + 1 + kAddressBytes;
    ServiceCentreAddress &address = parameters.serviceCentre;
    address.length = centre[0];
    address.type = centre[1];
    if (address.holdsNumber()) {
        address.number = CMyTools::bcd2asc(centre + 2, address.length - 1u);
    }
    parameters.protocolId = fields[25];
    parameters.codingScheme = fields[26];
    parameters.validity = fields[27];
    return parameters;
}

Bytes EfSmsp::encode(const Value &parameters, size_t length) {
    Bytes record(length, 0xFF);
    if (!parameters || length < tail) {
        return record;
    }
    const size_t y = length - tail;
    const Bytes alpha = encodeAlphaIdentifier(parameters->name, false);
    std::copy_n(alpha.begin(), std::min(alpha.size(), y), record.begin());
    const auto fields = record.begin() + static_cast<std::ptrdiff_t>(y);
    fields[0] = parameters->indicators;
    std::copy_n(parameters->destination.begin(),
                std::min(parameters->destination.size(), kAddressBytes), fields + 1);
    const auto centre = fields + 1 + kAddressBytes;
    const ServiceCentreAddress &address = parameters->serviceCentre;
    centre[0] = address.length;
    centre[1] = address.type;
    const Bytes bcd = CMyTools::asc2bcd(address.number);
    std::copy_n(bcd.begin(), std::min(bcd.size(), kNumberBytes), centre + 2);
    fields[25] = parameters->protocolId;
    fields[26] = parameters->codingScheme;
    fields[27] = parameters->validity;
    return record;
}

namespace {

SmsParameters smsParameters(std::string name, uint8_t indicators, ServiceCentreAddress centre) {
    SmsParameters parameters;
    parameters.name = std::move(name);
    parameters.indicators = indicators;
    parameters.serviceCentre = std::move(centre);
    parameters.protocolId = 0;
    parameters.codingScheme = 0;
    parameters.validity = 0xA7; // one day
    return parameters;
}

} // namespace

const std::vector<FileVector<EfSmsp::Value>> &EfSmsp::vectors() {
    static const std::vector<FileVector<Value>> vectors{
        // osmocom pySim, pySim/ts_51_011.py, EF_SMSP: no destination; a service centre the
        // indicators give but whose address is unused.
        {"454E6574776F726B73FFFFFFFFFFFFFFF1FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000A7",
         smsParameters("ENetworks", 0xF1, {})},
        // The demo card's: the service centre +491710760000.
        {"FFFFFFFFFFFFFFFFFFFFFFFFE1FFFFFFFFFFFFFFFFFFFFFFFF0791947101670000FFFFFFFF0000A7",
         smsParameters("", 0xE1, {0x07, 0x91, "491710760000"})},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", std::nullopt},
    };
    return vectors;
}

} // namespace velnor
