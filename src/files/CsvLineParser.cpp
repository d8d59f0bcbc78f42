#include "files/CsvLineParser.h"

#include <cstring>

namespace velnor {

namespace {

constexpr std::string_view kComma = ",";
constexpr std::string_view kQuoteComma = "\",";
constexpr std::string_view kEscapedQuote = "\"\"\"";

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
    const char first = needle_[0];
    while (pos + needle_.size() <= text_.size()) {
        const void *hit = std::memchr(text_.data() + pos, first, text_.size() - pos);
        if (hit == nullptr) {
            return std::string_view::npos;
        }
        pos = static_cast<size_t>(static_cast<const char *>(hit) - text_.data());
        if (text_.compare(pos, needle_.size(), needle_) == 0) {
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
    // The last field; a quoted one ends in its closing mark, whatever that character is.
    size_t last = text_.size();
    if (quoted && last - pos_ >= 2) {
        --last;
    }
    field.append(text_, pos_, last - pos_);
    pos_ = text_.size();
    done_ = true;
    return true;
}

void CCSVLineParser::ParseLine(std::string_view text) {
    fields_.clear();
    CsvFieldCursor cursor(text);
    std::string field;
    while (cursor.next(field)) {
        fields_.push_back(std::move(field));
    }
}

const std::string &CCSVLineParser::GetField(std::ptrdiff_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= fields_.size()) {
        throw Range();
    }
    return fields_[static_cast<size_t>(index)];
}

} // namespace velnor
