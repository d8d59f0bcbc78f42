#include "sim/MessageCompose.h"

#include <algorithm>

#include "sim/MessageRecord.h"

namespace velnor {

namespace {

constexpr uint8_t kDcsDefaultAlphabet = 0x00;
constexpr uint8_t kDcsUcs2 = 0x08;

} // namespace

SM_PARAM submitParameters(const std::string &number, const std::string &text,
                          const CardState &card) {
    SM_PARAM param;
    param.smscType = card.smscTypeOfAddress;
    param.smsc = card.smscNumber;
    const bool international = !number.empty() && number[0] == '+';
    param.numberType = international ? 0x91 : 0x81;
    param.number = international ? number.substr(1) : number;
    param.dcs = CMyTools::IsDBString(text) ? kDcsUcs2 : kDcsDefaultAlphabet;
    param.text = text;
    return param;
}

MessageImage composeMessageImage(const std::string &number, const std::string &text,
                                 const CardState &card) {
    MessageImage image{};
    if (card.isCdmaCard) {
        const Bytes record = CMyTools::encodesms(text, number);
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
