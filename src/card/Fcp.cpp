#include "card/Fcp.h"

#include <algorithm>

#include "card/BerTlv.h"

namespace velnor {

namespace {

size_t number(std::span<const uint8_t> bytes) {
    size_t value = 0;
    for (uint8_t byte : bytes) {
        value = value << 8 | byte;
    }
    return value;
}

void readDescriptor(Fcp &fcp, std::span<const uint8_t> value) {
    if (value.empty()) {
        return;
    }
    const uint8_t descriptor = value[0];
    if ((descriptor & 0x38) == 0x38) {
        fcp.type = (descriptor & 0x3F) == 0x39 ? Fcp::Type::BerTlv : Fcp::Type::Directory;
        return;
    }
    switch (descriptor & 0x07) {
    case 0x01:
        fcp.type = Fcp::Type::Transparent;
        break;
    case 0x02:
        fcp.type = Fcp::Type::LinearFixed;
        break;
    case 0x06:
        fcp.type = Fcp::Type::Cyclic;
        break;
    default:
        break;
    }
    // Record length (2 bytes) and count (1 byte) follow the data coding byte.
    if (value.size() >= 4) {
        fcp.recordLength = static_cast<uint16_t>(number(value.subspan(2, 2)));
    }
    if (value.size() >= 5) {
        fcp.recordCount = value[4];
    }
}

// TS 102 221, 9.5.2: the PS_DO bits stand, from bit 8 of its first byte on, for the key
// references (83) in the order they follow it.
void readPinStatus(Fcp &fcp, std::span<const uint8_t> value) {
    const auto inner = berTlvObjects(value);
    if (!inner) {
        return;
    }
    std::span<const uint8_t> psDo;
    size_t index = 0;
    for (const BerTlv &object : *inner) {
        if (object.tag == 0x90) {
            psDo = object.value;
        } else if (object.tag == 0x83 && object.value.size() == 1) {
            if (object.value[0] == 0x01 && index / 8 < psDo.size()) {
                fcp.pin1Enabled = (psDo[index / 8] & (0x80 >> (index % 8))) != 0;
            }
            ++index;
        }
    }
}

} // namespace

std::optional<Fcp> parseFcp(std::span<const uint8_t> bytes) {
    const auto outer = berTlvObjects(bytes);
    if (!outer || outer->size() != 1 || outer->front().tag != 0x62) {
        return std::nullopt;
    }
    const auto inner = berTlvObjects(outer->front().value);
    if (!inner) {
        return std::nullopt;
    }
    Fcp fcp;
    bool sfiGiven = false;
    for (const BerTlv &object : *inner) {
        switch (object.tag) {
        case 0x82:
            readDescriptor(fcp, object.value);
            break;
        case 0x83:
            fcp.fileId = static_cast<uint16_t>(
                number(object.value.first(std::min<size_t>(2, object.value.size()))));
            break;
        case 0x80:
            fcp.size = number(object.value.first(std::min<size_t>(4, object.value.size())));
            break;
        case 0x84:
            fcp.aid.assign(object.value.begin(), object.value.end());
            break;
        case 0x88:
            // TS 102 221, 11.1.1.4.8: empty, no SFI; else the SFI in bits 8 to 4.
            sfiGiven = true;
            fcp.sfi = object.value.empty() ? 0 : object.value[0] >> 3;
            break;
        case 0xC6:
            readPinStatus(fcp, object.value);
            break;
        default:
            break;
        }
    }
    const bool elementary = fcp.type != Fcp::Type::Directory && fcp.type != Fcp::Type::Unknown;
    if (elementary && !sfiGiven) {
        fcp.sfi = fcp.fileId & 0x1F; // without tag 88, the low five bits of the identifier
    }
    if (fcp.recordLength != 0 && fcp.recordCount == 0) {
        fcp.recordCount = static_cast<uint16_t>(fcp.size / fcp.recordLength);
    }
    return fcp;
}

} // namespace velnor
