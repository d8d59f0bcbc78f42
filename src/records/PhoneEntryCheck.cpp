#include "records/PhoneEntryCheck.h"

#include "base/TextIds.h"
#include "records/PhonebookFit.h"

namespace velnor {

PhoneEntryFields openPhoneEntry(const std::string &name, const std::string &number) {
    PhoneEntryFields fields{name, number, false};
    const size_t digits = number.find_first_not_of('+');
    if (!number.empty() && number[0] == '+') {
        fields.international = true;
        fields.number = digits == std::string::npos ? std::string() : number.substr(digits);
    }
    return fields;
}

PhoneEntryVerdict acceptPhoneEntry(const PhoneEntryFields &fields, const CardState &card) {
    if (!nameFitsCard(fields.name, entryAlphaLength(card.alphaLength), card.ucs82Unsupported)) {
        return {text::NameDoesNotFit, {}, {}};
    }
    // A "+" typed in front of the number says what the box says.
    const bool typedPlus = fields.number.starts_with('+');
    const bool international = fields.international || typedPlus;
    const std::string digits = typedPlus ? fields.number.substr(1) : fields.number;
    // The "+" the box stands for counts as one of the 20 characters the card can keep.
    if (digits.size() + (international ? 1 : 0) > kMaxNumberDigits) {
        return {text::NumberTooLong, {}, {}};
    }
    std::string number = international ? "+" + digits : digits;
    if (!numberFitsCard(number)) {
        return {text::MisplacedPlus, {}, {}};
    }
    return {0, fields.name, std::move(number)};
}

} // namespace velnor
