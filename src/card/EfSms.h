#pragma once

// EF SMS, the short messages (GSM 11.11, 10.5.3): a status byte, then the stored message as the
// card keeps it; and its CDMA namesake in DF CDMA (3GPP2 C.S0023, 3.4.27): a status byte, the
// length of the message, the message.

#include <span>

#include "card/CardFile.h"
#include "codec/CMyTools.h"
#include "codec/MessageStatus.h"

namespace velnor {

struct StoredMessage {
    uint8_t status = status::Read;
    Bytes stored; // the message, without the filler after it

    bool operator==(const StoredMessage &) const = default;
};

// The record of a message, or nullopt for a free one; a free record is status 0, the rest 0xFF.
struct EfSms {
    static constexpr std::array<uint16_t, 3> path{df::Master, df::Telecom, 0x6F3C};
    static constexpr uint16_t id = path.back();
    static constexpr size_t recordLength = 176;
    static constexpr size_t tail = 0;
    static constexpr std::array<uint8_t, 2> paddings{0xFF, 0x00};
    using Value = std::optional<StoredMessage>;

    // The message ends where its TPDU does (GSM 03.40, 9.2.2); one that does not decode keeps
    // the rest of the record.
    static Value decode(std::span<const uint8_t> record);
    static Bytes encode(const Value &message, size_t length);
    static const std::vector<FileVector<Value>> &vectors();
};

struct EfCdmaSms {
    static constexpr std::array<uint16_t, 3> path{df::Master, df::Cdma, 0x6F3C};
    static constexpr uint16_t id = path.back();
    static constexpr size_t recordLength = 255;
    static constexpr size_t tail = 0;
    static constexpr std::array<uint8_t, 2> paddings{0xFF, 0x00};
    using Value = std::optional<StoredMessage>;

    // A length beyond the record keeps what the record holds.
    static Value decode(std::span<const uint8_t> record);
    static Bytes encode(const Value &message, size_t length);
    static const std::vector<FileVector<Value>> &vectors();
};

} // namespace velnor
