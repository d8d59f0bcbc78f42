#pragma once

// UTF-8 walking and writing, shared by every layer that handles texts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velnor {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Reads the character at pos and advances pos past it. A byte that does not start a well-formed
// sequence (overlong forms, surrogates and values beyond U+10FFFF included) yields U+FFFD and
// advances one byte, so every byte of the input is consumed exactly once.
char32_t nextCodePoint(std::string_view text, size_t &pos);

// Appends the UTF-8 form of cp; surrogates and values beyond U+10FFFF become U+FFFD.
void appendUtf8(std::string &out, char32_t cp);

// Writes the UTF-8 form of cp to out (room for 4 bytes) and returns the byte count.
size_t writeUtf8(char *out, char32_t cp);

// True when every byte of text belongs to a well-formed UTF-8 sequence.
bool isValidUtf8(std::string_view text);

// Characters of a text; each malformed byte counts as one.
size_t countCharacters(std::string_view text);

// The first n characters of a text, never cutting inside one.
std::string firstCharacters(std::string_view text, size_t n);

// ISO-8859-1 bytes as UTF-8.
std::string latin1ToUtf8(const uint8_t *bytes, size_t count);

} // namespace velnor
