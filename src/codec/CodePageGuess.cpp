#include "codec/CodePageGuess.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unicode/uchar.h>
#include <unicode/ucsdet.h>
#include <unicode/uscript.h>

#include "base/Utf8.h"
#include "codec/LegacyText.h"

namespace velnor {

namespace {

// ICU's detection reads no more than this much of its input.
constexpr size_t kSampleLimit = 8192;
// From this confidence (0-100) on, detection is taken as sure. Correct readings of a few names
// reach it; wrong ones that pass the reading check below stay under it.
constexpr int32_t kSureConfidence = 30;

bool isWordEnd(uint8_t byte) {
    return byte <= ' ' || byte == '"' || byte == ',';
}

// The words of bytes that are not UTF-8, one blank between them. No double-byte character has a
// blank, a quotation mark or a comma as its second byte, so no character is cut.
std::string detectionSample(std::string_view bytes) {
    std::string sample;
    size_t pos = 0;
    while (pos < bytes.size()) {
        if (isWordEnd(static_cast<uint8_t>(bytes[pos]))) {
            ++pos;
            continue;
        }
        size_t end = pos;
        while (end < bytes.size() && !isWordEnd(static_cast<uint8_t>(bytes[end]))) {
            ++end;
        }
        const std::string_view word = bytes.substr(pos, end - pos);
        if (!isValidUtf8(word)) {
            // Whole words, so that no character is cut; a first word longer than the sample is
            // cut all the same.
            if (!sample.empty() && sample.size() + 1 + word.size() > kSampleLimit) {
                break;
            }
            if (!sample.empty()) {
                sample += ' ';
            }
            sample.append(word.substr(0, kSampleLimit));
        }
        pos = end;
    }
    return sample;
}

// Han, kana and Hangul are written together; any other alphabet stands alone in a word.
UScriptCode alphabetOf(char32_t c) {
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(static_cast<UChar32>(c), &status);
    switch (script) {
    case USCRIPT_HAN:
    case USCRIPT_HIRAGANA:
    case USCRIPT_KATAKANA:
    case USCRIPT_HANGUL:
    case USCRIPT_COMMON:
    case USCRIPT_INHERITED:
        return USCRIPT_INVALID_CODE;
    default:
        return script;
    }
}

bool isSymbolOrNumberSign(char32_t c) {
    switch (u_charType(static_cast<UChar32>(c))) {
    case U_MATH_SYMBOL:
    case U_CURRENCY_SYMBOL:
    case U_MODIFIER_SYMBOL:
    case U_OTHER_SYMBOL:
    case U_OTHER_NUMBER:
        return true;
    default:
        return false;
    }
}

bool isUntypeable(char32_t c) {
    const int8_t type = u_charType(static_cast<UChar32>(c));
    return c == kReplacementChar || type == U_CONTROL_CHAR || type == U_UNASSIGNED ||
           type == U_PRIVATE_USE_CHAR;
}

bool wordReadsAsTyped(std::string_view word) {
    bool letters = false;
    bool symbols = false;
    UScriptCode alphabet = USCRIPT_INVALID_CODE;
    size_t pos = 0;
    while (pos < word.size()) {
        const char32_t c = nextCodePoint(word, pos);
        if (c >= 0x80 && isUntypeable(c)) {
            return false;
        }
        if (!u_isalpha(static_cast<UChar32>(c))) {
            symbols = symbols || (c >= 0x80 && isSymbolOrNumberSign(c));
            continue;
        }
        letters = true;
        const UScriptCode own = alphabetOf(c);
        if (own != USCRIPT_INVALID_CODE) {
            if (alphabet != USCRIPT_INVALID_CODE && alphabet != own) {
                return false;
            }
            alphabet = own;
        }
    }
    return !(letters && symbols);
}

bool readsAsTyped(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t blank = std::min(text.find(' ', pos), text.size());
        if (!wordReadsAsTyped(text.substr(pos, blank - pos))) {
            return false;
        }
        pos = blank + 1;
    }
    return true;
}

struct DetectorClose {
    void operator()(UCharsetDetector *detector) const { ucsdet_close(detector); }
};

} // namespace

CodePageGuess guessCodePage(std::string_view bytes) {
    const CodePageGuess assumed{findCodePage("windows-1252"), false};
    const std::string sample = detectionSample(bytes);
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorClose> detector(ucsdet_open(&status));
    if (U_FAILURE(status)) {
        return assumed;
    }
    ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
    int32_t count = 0;
    const UCharsetMatch **matches = ucsdet_detectAll(detector.get(), &count, &status);
    for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i) {
        const char *name = ucsdet_getName(matches[i], &status);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &status);
        if (U_FAILURE(status) || name == nullptr) {
            break;
        }
        const CodePage *page = detectedCodePage(name);
        if (page != nullptr &&
            readsAsTyped(convertToUtf8(sample, *page, page->units == CodeUnits::SingleByte))) {
            return {page, confidence >= kSureConfidence};
        }
    }
    return assumed;
}

} // namespace velnor
