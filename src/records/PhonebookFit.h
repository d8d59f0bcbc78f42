#pragma once

// Whether a name and a number keep on the card as they are (the phonebook record, GSM 11.11,
// 10.5.1: an alpha field of the record length less 14 bytes, ten BCD bytes of number).

#include <cstdint>
#include <string>
#include <string_view>

namespace velnor {

inline constexpr size_t kMaxNumberDigits = 20;

// Whether a name fits an alpha field of alphaLength bytes in the coding the card will get, and
// reads back from it as it is.
bool nameFitsCard(const std::string &name, uint32_t alphaLength, bool ucs82Unsupported);

// Whether the card keeps a number as it is: a "+" only as its first character, at most 20
// digits.
bool numberFitsCard(std::string_view number);

} // namespace velnor
