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

namespace {

// The number as the card will keep it, or the error it gives: text::NumberTooLong or
// text::MisplacedPlus. A "+" typed in front says what the box says.
int checkNumber(const std::string &typed, bool box, std::string &number) {
    const bool typedPlus = typed.starts_with('+');
    const bool international = box || typedPlus;
    const std::string digits = typedPlus ? typed.substr(1) : typed;
    // The "+" the box stands for counts as one of the 20 characters the card can keep.
    if (digits.size() + (international ? 1 : 0) > kMaxNumberDigits) {
        return text::NumberTooLong;
    }
    number = international ? "+" + digits : digits;
    return numberFitsCard(number) ? 0 : text::MisplacedPlus;
}

} // namespace

PhoneEntryVerdict acceptPhoneEntry(const PhoneEntryFields &fields, const CardState &card) {
    const uint32_t alphaLength = entryAlphaLength(card.alphaLength);
    if (!nameFitsCard(fields.name, alphaLength, card.ucs82Unsupported)) {
        return {text::NameDoesNotFit, {}, {}};
    }
    PhoneEntryVerdict verdict{0, fields.name, {}};
    if (const int error = checkNumber(fields.number, fields.international, verdict.number)) {
        return {error, {}, {}};
    }
    if (checkNumber(fields.additionalNumber, false, verdict.additionalNumber) != 0) {
        return {text::AdditionalNumberDoesNotFit, {}, {}};
    }
    if (!nameFitsCard(fields.secondName, alphaLength, card.ucs82Unsupported)) {
        return {text::SecondNameDoesNotFit, {}, {}};
    }
    return verdict;
}

} // namespace velnor
