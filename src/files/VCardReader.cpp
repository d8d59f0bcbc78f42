#include "files/VCardReader.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf8.h"
#include "codec/CodePages.h"
#include "codec/LegacyText.h"

namespace velnor {

namespace {

// A number's place in the contact: preferred numbers first, then mobile ones, then the rest.
enum NumberRank { Preferred, Mobile, Other };

bool startsWithIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && equalsIgnoringCase(text.substr(0, start.size()), start);
}

// The pieces of a text between separators outside double quotes (the parameters of RFC 6350
// 5.1 may quote theirs).
std::vector<std::string_view> splitOutsideQuotes(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || (text[i] == separator && !quoted)) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        } else if (text[i] == '"') {
            quoted = !quoted;
        }
    }
    return pieces;
}

// The pieces of a value between separators that no backslash escapes (RFC 2426 4, RFC 6350 3.4).
std::vector<std::string_view> splitUnescaped(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '\\') {
            ++i;
        } else if (i == text.size() || text[i] == separator) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return pieces;
}

// "\n" and "\N" are a line break, "\," "\;" and "\\" the character itself; any other backslash
// is kept, as version 2.1 has no such escapes.
std::string unescapeText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && (next == 'n' || next == 'N')) {
            out += '\n';
            ++i;
        } else if (text[i] == '\\' && (next == ',' || next == ';' || next == '\\')) {
            out += next;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// RFC 2045 6.7: "=" and two hexadecimal digits is a byte; an "=" without them stays.
std::string decodeQuotedPrintable(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '=' ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low >= 0) {
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Decoded bytes in UTF-8: read in the code page CHARSET names, else as their bytes show.
std::string inUtf8(std::string bytes, std::string_view charset) {
    const CodePage *page = charset.empty() ? nullptr : findCodePage(charset);
    if (page != nullptr && page->units != CodeUnits::Utf8) {
        return convertToUtf8(bytes, *page);
    }
    return isValidUtf8(bytes) ? bytes : textAsUtf8(bytes);
}

// The name of N's parts in the usual order: prefix, given, additional, family, suffix. A part
// may hold several values, separated by commas.
std::string nameOfParts(std::string_view value) {
    const std::vector<std::string_view> parts = splitUnescaped(value, ';');
    std::string name;
    for (const size_t part : std::array<size_t, 5>{3, 1, 2, 0, 4}) {
        if (part >= parts.size()) {
            continue;
        }
        for (const std::string_view piece : splitUnescaped(parts[part], ',')) {
            const std::string text = unescapeText(piece);
            if (!text.empty()) {
                name += name.empty() ? "" : " ";
                name += text;
            }
        }
    }
    return name;
}

} // namespace

struct VCardReader::Property {
    std::string_view name; // without its group
    std::string value;     // unfolded and decoded; empty for a property not read
    NumberRank rank = Other;

    bool is(std::string_view other) const { return equalsIgnoringCase(name, other); }
};

std::string_view VCardReader::takeLine() {
    const size_t end = std::min(text_.find('\n', pos_), text_.size());
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = std::min(end + 1, text_.size());
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// A line that starts with a blank continues the last one (RFC 2426 2.6, RFC 6350 3.2); so does
// any line after a quoted-printable one that ends in "=", its soft line break, unless the next
// contact's bounds stand there.
bool VCardReader::continues(std::string_view last, bool quotedPrintable) const {
    if (pos_ >= text_.size()) {
        return false;
    }
    const std::string_view rest = text_.substr(pos_);
    if (rest.front() == ' ' || rest.front() == '\t') {
        return true;
    }
    return quotedPrintable && last.ends_with('=') && !startsWithIgnoringCase(rest, "END:VCARD") &&
           !startsWithIgnoringCase(rest, "BEGIN:VCARD");
}

bool VCardReader::nextProperty(Property &property) {
    std::string_view line;
    while (line.empty()) {
        if (pos_ >= text_.size()) {
            return false;
        }
        line = takeLine();
    }
    const std::vector<std::string_view> head = splitOutsideQuotes(line, ':');
    const std::vector<std::string_view> params = splitOutsideQuotes(head.front(), ';');
    const std::string_view groupAndName = params.front();
    property.name = groupAndName.substr(std::min(groupAndName.find('.') + 1, groupAndName.size()));
    property.rank = Other;
    bool quotedPrintable = false;
    std::string_view charset;
    for (size_t i = 1; i < params.size(); ++i) {
        const size_t equals = params[i].find('=');
        const std::string_view key = params[i].substr(0, equals);
        std::string_view values =
            equals == std::string_view::npos ? key : params[i].substr(equals + 1);
        if (values.size() >= 2 && values.front() == '"' && values.back() == '"') {
            values = values.substr(1, values.size() - 2);
        }
        if (equalsIgnoringCase(key, "CHARSET")) {
            charset = values;
        } else if (equalsIgnoringCase(key, "PREF")) {
            property.rank = Preferred; // RFC 6350 5.3, or version 2.1's bare PREF
        }
        for (const std::string_view value : splitOutsideQuotes(values, ',')) {
            quotedPrintable = quotedPrintable || equalsIgnoringCase(value, "QUOTED-PRINTABLE");
            if (equalsIgnoringCase(value, "PREF")) {
                property.rank = Preferred;
            } else if (equalsIgnoringCase(value, "CELL") && property.rank == Other) {
                property.rank = Mobile;
            }
        }
    }
    const bool read =
        head.size() > 1 &&
        (property.is("BEGIN") || property.is("END") || property.is("FN") || property.is("N") ||
         property.is("TEL") || property.is("EMAIL") || property.is("NICKNAME"));
    property.value.clear();
    if (read) {
        property.value = line.substr(head.front().size() + 1);
    }
    for (std::string_view last = line; continues(last, quotedPrintable);) {
        const bool soft = quotedPrintable && last.ends_with('=');
        const std::string_view more = takeLine();
        if (read && soft) {
            property.value.pop_back();
            property.value += more;
        } else if (read) {
            property.value += more.substr(1);
        }
        last = more;
    }
    if (read && quotedPrintable) {
        property.value = inUtf8(decodeQuotedPrintable(property.value), charset);
    }
    return true;
}

bool VCardReader::next(Contact &contact) {
    contact = {};
    bool open = false;
    std::string formattedName;
    std::string partsName;
    std::vector<std::pair<NumberRank, std::string>> numbers;
    std::vector<std::pair<NumberRank, std::string>> emails;
    Property property;
    for (size_t start = pos_; nextProperty(property); start = pos_) {
        if (property.is("BEGIN") && equalsIgnoringCase(property.value, "VCARD")) {
            if (open) {
                pos_ = start;
                break;
            }
            open = true;
        } else if (!open) {
            continue;
        } else if (property.is("END")) {
            break;
        } else if (property.is("FN")) {
            formattedName = unescapeText(property.value);
        } else if (property.is("N")) {
            partsName = nameOfParts(property.value);
        } else if (property.is("TEL")) {
            std::string number = cleanNumber(property.value);
            if (!number.empty()) {
                numbers.emplace_back(property.rank, std::move(number));
            }
        } else if (property.is("EMAIL") && !property.value.empty()) {
            emails.emplace_back(property.rank == Preferred ? Preferred : Other,
                                unescapeText(property.value));
        } else if (property.is("NICKNAME") && contact.secondName.empty()) {
            // RFC 6350 6.2.3: a list of nicknames; the first is the one people use.
            contact.secondName = unescapeText(splitUnescaped(property.value, ',').front());
        }
    }
    if (!open) {
        return false;
    }
    contact.name = formattedName.empty() ? std::move(partsName) : std::move(formattedName);
    std::ranges::stable_sort(numbers, {}, &std::pair<NumberRank, std::string>::first);
    for (auto &[rank, number] : numbers) {
        contact.numbers.push_back(std::move(number));
    }
    std::ranges::stable_sort(emails, {}, &std::pair<NumberRank, std::string>::first);
    if (!emails.empty()) {
        contact.email = std::move(emails.front().second);
    }
    return true;
}

} // namespace velnor
