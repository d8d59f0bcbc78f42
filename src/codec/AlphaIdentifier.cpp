#include "codec/AlphaIdentifier.h"

#include <algorithm>

namespace velnor {

namespace {

// Count of name bytes handed to the decoder, after trimming the 0xFF filler at the end. A UCS2
// name whose last character ends in 0xFF keeps that byte when the count would otherwise be odd.
size_t trimmedNameEnd(const uint8_t *alpha, size_t alphaLength) {
    if (alphaLength <= 1) {
        return 0;
    }
    size_t k = alphaLength - 1;
    while (k >= 1 && alpha[k] == 0xFF) {
        --k;
    }
    if ((alpha[0] & 0x80) != 0 && (k + 1) % 2 == 0) {
        ++k;
    }
    return k;
}

} // namespace

std::string decodeAlphaIdentifier(const uint8_t *alpha, size_t alphaLength) {
    if (alphaLength == 0) {
        return std::string();
    }
    // The 0x81 and 0x82 codings carry their length, so a last character coded as 0xFF is a
    // character, not filler.
    if (alpha[0] == 0x81) {
        return CMyTools::UCS2ToGB81(alpha + 1, alphaLength - 1);
    }
    if (alpha[0] == 0x82) {
        return CMyTools::UCS2ToGB82(alpha + 1, alphaLength - 1);
    }
    const size_t k = trimmedNameEnd(alpha, alphaLength);
    switch (alpha[0]) {
    case 0x80:
        return CMyTools::gsmDecodeUcs2(alpha + 1, std::min(k, alphaLength - 1));
    default: {
        // GSM 7-bit names are left-justified and filled with 0xFF.
        const size_t count = std::min(k + 1, alphaLength);
        const uint8_t *end = std::find(alpha, alpha + count, 0xFF);
        return CMyTools::gsm2asc(alpha, static_cast<size_t>(end - alpha));
    }
    }
}

Bytes encodeAlphaIdentifier(const std::string &name, bool ucs82Unsupported) {
    const std::string stored = ucs2Storable(name);
    if (!CMyTools::IsDBString(stored)) {
        return CMyTools::asc2gsm(stored);
    }
    Bytes alpha;
    if (!ucs82Unsupported) {
        uint8_t coding = 0x80;
        Bytes body = CMyTools::String2Ucs81(stored, coding);
        if (!body.empty()) {
            alpha.push_back(0x81);
        } else if (coding == 0x82) {
            body = CMyTools::String2Ucs82(stored);
            if (!body.empty()) {
                alpha.push_back(0x82);
            }
        }
        if (!alpha.empty()) {
            alpha.insert(alpha.end(), body.begin(), body.end());
            return alpha;
        }
    }
    alpha.push_back(0x80);
    const Bytes ucs2 = CMyTools::gsmEncodeUcs2(stored);
    alpha.insert(alpha.end(), ucs2.begin(), ucs2.end());
    return alpha;
}

} // namespace velnor
