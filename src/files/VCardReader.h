#pragma once

// vCard files read one contact at a time: version 2.1 as phones write it (CHARSET= and
// quoted-printable values with soft line breaks), 3.0 (RFC 2426) and 4.0 (RFC 6350). Lines
// folded by a leading blank are unfolded, grouped properties ("item1.TEL") are read by their
// name, and properties other than FN, N, TEL, EMAIL and NICKNAME are passed over line by line,
// whatever their size. Nothing in the text makes the reader fail: what it cannot read it passes
// over.

#include <string_view>

#include "files/Contact.h"

namespace velnor {

class VCardReader {
public:
    // The text in UTF-8; only quoted-printable values are read in their own CHARSET.
    explicit VCardReader(std::string_view text) : text_(text) {}

    // The next contact: FN for its name, else the parts of N in the usual order (prefix, given,
    // additional, family, suffix), its TEL numbers, a preferred one first, else a mobile
    // one, its preferred or else first EMAIL and its first NICKNAME. A BEGIN:VCARD before the END
    // of the one open ends it, so that a cut-off contact keeps the rest of the file readable. False
    // when no contact is left.
    bool next(Contact &contact);

private:
    struct Property;

    bool nextProperty(Property &property);
    std::string_view takeLine();
    bool continues(std::string_view last, bool quotedPrintable) const;

    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace velnor
