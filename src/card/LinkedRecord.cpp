#include "card/LinkedRecord.h"

#include <algorithm>

#include "card/EfPbr.h"
#include "codec/AlphaIdentifier.h"

namespace velnor {

namespace {

constexpr uint8_t NoLabel = 0x00;

} // namespace

std::string *LinkedRecord::field(PhoneEntry &entry, uint8_t tag) {
    switch (tag) {
    case pbr::Email:
        return &entry.email;
    case pbr::Anr:
        return &entry.additionalNumber;
    case pbr::Sne:
        return &entry.secondName;
    default:
        return nullptr;
    }
}

std::string LinkedRecord::decode(uint8_t tag, std::span<const uint8_t> record, bool type2) {
    const size_t body = record.size() - (type2 && record.size() >= 2 ? 2 : 0);
    if (tag != pbr::Anr) {
        return decodeAlphaIdentifier(record.data(), body);
    }
    if (body < 1 + EfAdn::tail) {
        return {};
    }
    const EfAdn::Value number = EfAdn::decode(record.subspan(1, EfAdn::tail));
    return number ? number->number : std::string();
}

std::optional<Bytes> LinkedRecord::encode(uint8_t tag, const std::string &value,
                                          std::span<const uint8_t> old,
                                          std::optional<BackReference> back,
                                          bool ucs82Unsupported) {
    if (back && old.size() < 2) {
        return std::nullopt;
    }
    Bytes record(old.size(), 0xFF);
    const size_t body = old.size() - (back ? 2 : 0);
    if (back) {
        std::copy(back->begin(), back->end(), record.end() - 2);
    }
    if (value.empty()) {
        return Bytes(old.size(), 0xFF);
    }
    if (tag == pbr::Anr) {
        if (body < 1 + EfAdn::tail) {
            return std::nullopt;
        }
        const bool labelled = !decode(tag, old, back.has_value()).empty();
        record[0] = labelled ? old[0] : NoLabel;
        const Bytes tail = EfAdn::compose({}, value, EfAdn::tail);
        std::copy(tail.begin(), tail.end(), record.begin() + 1);
        return record;
    }
    const Bytes alpha = encodeAlphaIdentifier(value, ucs82Unsupported);
    if (alpha.size() > body) {
        return std::nullopt;
    }
    std::copy(alpha.begin(), alpha.end(), record.begin());
    return record;
}

Bytes LinkedRecord::free(uint8_t tag, size_t length) {
    const bool zeros = tag == pbr::Pbc || tag == pbr::Grp || tag == pbr::Uid;
    return Bytes(length, zeros ? 0x00 : 0xFF);
}

LinkedRecord::BackReference LinkedRecord::backReference(std::span<const uint8_t> record) {
    if (record.size() < 2) {
        return {0xFF, 0xFF};
    }
    return {record[record.size() - 2], record.back()};
}

} // namespace velnor
