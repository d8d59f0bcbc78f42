#include "records/PhonebookFit.h"

#include <algorithm>

#include "codec/AlphaIdentifier.h"

namespace velnor {

bool nameFitsCard(const std::string &name, uint32_t alphaLength, bool ucs82Unsupported) {
    if (!CMyTools::IsDBString(name)) {
        // Its septets are at least as many as its characters, so they decide. Printable ASCII
        // takes one septet a character, two for the eight extension characters among it.
        const bool printable = std::all_of(name.begin(), name.end(), [](char c) {
            return static_cast<uint8_t>(c) >= 0x20 && static_cast<uint8_t>(c) < 0x7F;
        });
        const size_t septets =
            printable ? name.size() + CountGsmExtensionChars(name) : CMyTools::asc2gsm(name).size();
        return septets <= alphaLength;
    }
    return ucs2Storable(name) == name &&
           encodeAlphaIdentifier(name, ucs82Unsupported).size() <= alphaLength;
}

bool numberFitsCard(std::string_view number) {
    const std::string_view digits = number.substr(number.starts_with('+') ? 1 : 0);
    const Bytes bcd = CMyTools::asc2bcd(digits);
    return digits.find('+') == std::string_view::npos &&
           CMyTools::bcd2asc(bcd.data(), bcd.size()).size() <= kMaxNumberDigits;
}

} // namespace velnor
