#pragma once

// The GSM 03.38 default alphabet and its extension table, and septet packing (GSM 03.38, 6.1.2.1).

#include <cstddef>
#include <cstdint>
#include <string>

namespace velnor {

inline constexpr uint8_t kGsmEscape = 0x1B;
inline constexpr uint8_t kGsmQuestionMark = 0x3F;

// The septets of one character: a default-alphabet code, or the escape and an extension code.
struct GsmCode {
    uint8_t length = 0; // 0: not codable, 1 or 2 septets
    uint8_t code = 0;   // default-alphabet code, or extension-table code when length is 2
};

GsmCode unicodeToGsm(char32_t cp);

inline bool isGsmCodable(char32_t cp) {
    return unicodeToGsm(cp).length != 0;
}

// Appends the text of unpacked septets. An escape followed by a code the extension table lacks
// reads as that code in the default alphabet (GSM 03.38, 6.2.1.1); an escape at the end, or two
// escapes (reserved for a further table), read as a space.
void appendGsmText(const uint8_t *septets, size_t count, std::string &out);

// Appends the text of septetCount septets packed from bit firstBit of bytes (GSM 03.38,
// 6.1.2.1.1); the caller has checked that they lie within the bytes.
void appendPackedGsmText(const uint8_t *bytes, size_t firstBit, size_t septetCount,
                         std::string &out);

// Packs septets after fillBits zero bits; returns the byte count written to out, which needs
// room for (fillBits + 7 * count + 7) / 8 bytes.
size_t packSeptets(const uint8_t *septets, size_t count, size_t fillBits, uint8_t *out);

} // namespace velnor
