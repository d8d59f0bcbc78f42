#include "files/CsvLineParser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/Utf8.h"

namespace velnor {

namespace {

constexpr std::string_view kComma = ",";
constexpr std::string_view kQuoteComma = "\",";
constexpr std::string_view kEscapedQuote = "\"\"\"";

// Where the last character of text[from..] starts: a whole UTF-8 sequence, or the last byte
// when the text does not end in one.
size_t lastCharacterStart(std::string_view text, size_t from) {
    const size_t end = text.size();
    size_t start = end - 1;
    while (start > from && end - start < 4 && (static_cast<uint8_t>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    size_t pos = start;
    nextCodePoint(text, pos);
    return pos == end ? start : end - 1;
}

} // namespace

size_t CsvFieldCursor::NextOccurrence::from(size_t pos) {
    // A remembered occurrence at or after pos is still the first one: nothing lay between the
    // earlier search start and it. No occurrence at all stays none.
    if (!searched_ || (found_ != std::string_view::npos && found_ < pos)) {
        found_ = search(pos);
        searched_ = true;
    }
    return found_;
}

size_t CsvFieldCursor::NextOccurrence::search(size_t pos) const {
    const char *const data = text_.data();
    const size_t size = text_.size();
    const size_t length = needle_.size();
    while (pos + length <= size) {
        // Fields are short: a plain look at the next bytes is quicker than a library call.
        const size_t near = std::min(size, pos + 32);
        while (pos < near && data[pos] != needle_[0]) {
            ++pos;
        }
        if (pos == near) {
            const void *hit = std::memchr(data + pos, needle_[0], size - pos);
            if (hit == nullptr) {
                return std::string_view::npos;
            }
            pos = static_cast<size_t>(static_cast<const char *>(hit) - data);
        }
        if (pos + length > size) {
            return std::string_view::npos;
        }
        size_t matched = 1;
        while (matched < length && data[pos + matched] == needle_[matched]) {
            ++matched;
        }
        if (matched == length) {
            return pos;
        }
        ++pos;
    }
    return std::string_view::npos;
}

CsvFieldCursor::CsvFieldCursor(std::string_view text)
    : text_(text), done_(text.empty()), comma_(text, kComma), quoteComma_(text, kQuoteComma),
      escapedQuote_(text, kEscapedQuote) {}

bool CsvFieldCursor::next(std::string &field) {
    field.clear();
    if (done_) {
        return false;
    }
    const bool quoted = pos_ < text_.size() && text_[pos_] == '"';
    if (quoted) {
        ++pos_;
    }
    NextOccurrence &delimiter = quoted ? quoteComma_ : comma_;
    const size_t delimiterLength = quoted ? kQuoteComma.size() : kComma.size();

    // Escaped quotes before the field's end become single quotation marks.
    while (pos_ < text_.size()) {
        const size_t escaped = escapedQuote_.from(pos_);
        if (escaped == std::string_view::npos) {
            break;
        }
        const size_t end = delimiter.from(pos_);
        if (end != std::string_view::npos && end < escaped) {
            break;
        }
        field.append(text_, pos_, escaped - pos_);
        field += '"';
        pos_ = escaped + kEscapedQuote.size();
    }

    const size_t end = delimiter.from(pos_);
    if (end != std::string_view::npos) {
        field.append(text_, pos_, end - pos_);
        pos_ = end + delimiterLength;
        return true;
    }
    // The last field; a quoted one of two characters or more ends in its closing mark, whatever
    // that character is.
    size_t last = text_.size();
    if (quoted && pos_ < text_.size()) {
        const size_t closing = lastCharacterStart(text_, pos_);
        if (closing > pos_) {
            last = closing;
        }
    }
    field.append(text_, pos_, last - pos_);
    pos_ = text_.size();
    done_ = true;
    return true;
}

} // namespace velnor
