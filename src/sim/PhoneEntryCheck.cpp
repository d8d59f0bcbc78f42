#include "sim/PhoneEntryCheck.h"

#include "sim/PhonebookRecord.h"

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
    if (!nameFitsCard(fields.name, card.alphaLength, card.ucs82Unsupported)) {
        return {8081, {}, {}};
    }
    // The "+" the box stands for counts as one of the 20 characters the card can keep.
    if (fields.number.size() + (fields.international ? 1 : 0) > kMaxNumberDigits) {
        return {8071, {}, {}};
    }
    return {0, fields.name, fields.international ? "+" + fields.number : fields.number};
}

} // namespace velnor
