#pragma once

// The rules of the phonebook entry dialog, kept apart from the dialog so that they can be tested
// and shared: what the fields show when it opens, and whether OK may close it.

#include <cstdint>
#include <string>

#include "records/CardState.h"

namespace velnor {

// The dialog's fields: the name, the number without its "+", the international box, and the
// fields a USIM keeps besides (an additional number with its "+" typed in front).
struct PhoneEntryFields {
    std::string name;
    std::string number;
    bool international = false;
    std::string email{};
    std::string additionalNumber{};
    std::string secondName{};
};

// The alpha length an entry is checked against: the card's, or before any card was read the
// longest a phonebook record can hold (255 bytes less the 14 of number and extension).
inline uint32_t entryAlphaLength(uint32_t alphaLength) {
    return alphaLength != 0 ? alphaLength : 241;
}

// The most characters the name field takes on a card with this alpha length.
inline size_t nameFieldLimit(uint32_t alphaLength) {
    return entryAlphaLength(alphaLength);
}

// The fields for an entry being opened: a leading "+" (or several) ticks the box and leaves the
// number.
PhoneEntryFields openPhoneEntry(const std::string &name, const std::string &number);

// What OK does with the fields: closes the dialog with the entry, or keeps it open after the
// error box `errorId` (text::NameDoesNotFit, text::NumberTooLong, text::MisplacedPlus, then
// text::AdditionalNumberDoesNotFit and text::SecondNameDoesNotFit for the additional number and
// the second name, checked by the same rules). A "+" typed in front of the number ticks the box.
// The e-mail is taken as it is.
struct PhoneEntryVerdict {
    int errorId = 0; // 0: accepted
    std::string name;
    std::string number; // with "+" in front when the box is ticked
    std::string additionalNumber{};
};

PhoneEntryVerdict acceptPhoneEntry(const PhoneEntryFields &fields, const CardState &card);

} // namespace velnor
