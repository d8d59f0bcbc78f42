#include "records/MessageCompose.h"

#include <algorithm>

#include "base/Utf8.h"
#include "records/MessageRecord.h"

namespace velnor {

namespace {

constexpr uint8_t kDcsDefaultAlphabet = 0x00;
constexpr uint8_t kDcsUcs2 = 0x08;

size_t cdmaRecordLength(const CardState &card) {
    return card.messageRecordLength != 0 ? card.messageRecordLength : CMyTools::kCdmaRecordLength;
}

} // namespace

SmsTextUsage messageTextUsage(const std::string &number, const std::string &text,
                              const CardState &card) {
    return card.isCdmaCard ? cdmaTextUsage(text, number, cdmaRecordLength(card))
                           : gsmTextUsage(text);
}

std::string fittingInsertion(std::string_view before, std::string_view inserted,
                             std::string_view after, const std::string &number,
                             const CardState &card) {
    std::string text;
    const auto fitsWith = [&](size_t bytes) {
        text.assign(before);
        text.append(inserted.substr(0, bytes));
        text.append(after);
        return messageTextUsage(number, text, card).fits();
    };
    if (fitsWith(inserted.size())) {
        return std::string(inserted);
    }
    // Where each character of the insertion ends. A shorter text never needs more room (a
    // smaller coding it falls back to holds at least as much), so the starts that fit come
    // first.
    std::vector<size_t> ends{0};
    size_t pos = 0;
    while (pos < inserted.size()) {
        nextCodePoint(inserted, pos);
        ends.push_back(pos);
    }
    const auto tooLong = std::partition_point(ends.begin(), ends.end(), fitsWith);
    return tooLong == ends.begin() ? std::string()
                                   : std::string(inserted.substr(0, *std::prev(tooLong)));
}

SM_PARAM submitParameters(const std::string &number, const std::string &text,
                          const CardState &card) {
    SM_PARAM param;
    param.smscType = card.smscTypeOfAddress;
    param.smsc = card.smscNumber;
    const bool international = !number.empty() && number[0] == '+';
    param.numberType = international ? 0x91 : 0x81;
    param.number = international ? number.substr(1) : number;
    param.dcs = gsmTextUsage(text).coding == SmsCoding::Ucs2 ? kDcsUcs2 : kDcsDefaultAlphabet;
    param.text = text;
    return param;
}

MessageImage composeMessageImage(const std::string &number, const std::string &text,
                                 const CardState &card) {
    MessageImage image;
    image.fill(0xFF);
    if (card.isCdmaCard) {
        const Bytes record = CMyTools::encodesms(text, number, cdmaRecordLength(card));
        std::copy_n(record.begin(), std::min(record.size(), image.size()), image.begin());
        return image;
    }
    image[0] = status::NotSent;
    const Bytes pdu = CMyTools::gsmEncodePdu(submitParameters(number, text, card));
    std::copy_n(pdu.begin(), std::min(pdu.size(), image.size() - 1), image.begin() + 1);
    return image;
}

std::vector<std::string> composedMessageCells(size_t rowNumber, const std::string &number,
                                              const std::string &text, const Texts &texts) {
    return {std::to_string(rowNumber), texts.get(statusTextId(status::NotSent)), number,
            std::string(), text};
}

} // namespace velnor
