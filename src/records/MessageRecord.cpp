#include "records/MessageRecord.h"

#include <algorithm>
#include <cstdio>

#include "base/TextIds.h"

namespace velnor {

int statusTextId(uint8_t statusByte) {
    switch (statusByte & 0x07) {
    case status::Read:
        return text::MessageRead;
    case status::Unread:
        return text::MessageUnread;
    case status::Sent:
        return text::MessageSent;
    default:
        return text::MessageNotSent;
    }
}

std::string formatTimeStamp(const uint8_t *digits) {
    char text[32];
    std::snprintf(text, sizeof text, "20%02x-%02x-%02x %02x:%02x:%02x", digits[0], digits[1],
                  digits[2], digits[3], digits[4], digits[5]);
    return text;
}

std::string receivedTime(const SM_PARAM &param, bool cdma) {
    uint8_t digits[6];
    for (size_t i = 0; i < 6; ++i) {
        const uint8_t b = param.timeStamp[i];
        digits[i] = cdma ? b : static_cast<uint8_t>((b << 4) | (b >> 4));
    }
    return formatTimeStamp(digits);
}

bool decodeMessageRecord(const uint8_t *record, size_t length, bool cdma, SM_PARAM &param) {
    if (length == 0) {
        return false;
    }
    const bool received = !messageIsSentType(record[0]);
    return cdma ? CMyTools::cdmaDecodePdu(record + 1, length - 1, param, received)
                : CMyTools::gsmDecodePdu(record + 1, length - 1, param, received);
}

std::optional<std::vector<std::string>> messageRowCells(const uint8_t *record, size_t length,
                                                        bool cdma, const Texts &texts,
                                                        size_t rowNumber) {
    if (length == 0 || !messageInUse(record[0])) {
        return std::nullopt;
    }
    const bool received = !messageIsSentType(record[0]);
    SM_PARAM param;
    decodeMessageRecord(record, length, cdma, param);
    std::string time = received ? receivedTime(param, cdma) : std::string();
    std::string number = param.numberType == 0x91 ? "+" + param.number : param.number;
    return std::vector<std::string>{std::to_string(rowNumber), texts.get(statusTextId(record[0])),
                                    std::move(number), std::move(time), std::move(param.text)};
}

MessageImage messageImage(const uint8_t *record, size_t length) {
    MessageImage image{};
    std::copy_n(record, std::min(length, image.size()), image.begin());
    return image;
}

} // namespace velnor
