#include "codec/TextUsage.h"

#include "base/Utf8.h"

#include <algorithm>

namespace velnor {

namespace {

size_t utf16Units(std::string_view text) {
    size_t units = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        units += nextCodePoint(text, pos) > 0xFFFF ? 2 : 1;
    }
    return units;
}

// The highest character of a text.
char32_t highestCharacter(std::string_view text) {
    char32_t highest = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        highest = std::max(highest, nextCodePoint(text, pos));
    }
    return highest;
}

} // namespace

SmsTextUsage gsmTextUsage(std::string_view text) {
    if (!CMyTools::IsDBString(text)) {
        return {SmsCoding::Gsm7, CMyTools::asc2gsm(text).size(), kMaxSeptets};
    }
    return {SmsCoding::Ucs2, utf16Units(text), kMaxUcs2Units};
}

unsigned cdmaCharacterBits(SmsCoding coding) {
    switch (coding) {
    case SmsCoding::Ascii7:
        return 7;
    case SmsCoding::Latin1:
        return 8;
    default:
        return 16;
    }
}

SmsTextUsage cdmaTextUsageInRoom(std::string_view text, size_t roomOctets) {
    const char32_t highest = highestCharacter(text);
    SmsTextUsage usage;
    if (highest < 0x80) {
        usage = {SmsCoding::Ascii7, countCharacters(text), kMaxSeptets};
    } else if (highest <= 0xFF) {
        usage = {SmsCoding::Latin1, countCharacters(text), kMaxOctets};
    } else {
        usage = {SmsCoding::Utf16, utf16Units(text), kMaxUcs2Units};
    }
    const size_t roomBits = roomOctets * 8;
    const size_t roomFields =
        roomBits > kCdmaUserDataHeaderBits
            ? (roomBits - kCdmaUserDataHeaderBits) / cdmaCharacterBits(usage.coding)
            : 0;
    usage.capacity = std::min(usage.capacity, roomFields);
    return usage;
}

} // namespace velnor
