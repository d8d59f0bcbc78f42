#include "files/CsvReader.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <utility>

namespace velnor {

namespace {

constexpr std::string_view kJoinedNumbers = " ::: ";

// The name columns by the part they hold: 0 the whole name, then the parts in writing order.
struct NamedColumn {
    std::string_view title;
    int part;
};
constexpr std::array<NamedColumn, 7> kNameColumns = {{{"Name", 0},
                                                      {"First Name", 1},
                                                      {"Given Name", 1},
                                                      {"Middle Name", 2},
                                                      {"Additional Name", 2},
                                                      {"Last Name", 3},
                                                      {"Family Name", 3}}};

// The number columns by their rank: a mobile number first, home and office ones last.
constexpr int kMobileRank = 0;
constexpr std::array<NamedColumn, 6> kNumberColumns = {{{"Mobile Phone", kMobileRank},
                                                        {"Number", 1},
                                                        {"Phone", 1},
                                                        {"Additional Number", 1},
                                                        {"Business Phone", 2},
                                                        {"Home Phone", 2}}};

// The e-mail and second name columns of common exports; the first one there is taken.
constexpr std::array<std::string_view, 6> kEmailColumns = {
    "E-mail", "Email", "E-mail Address", "Email Address", "E-mail 1 - Value", "Primary Email"};
constexpr std::array<std::string_view, 2> kSecondNameColumns = {"Nickname", "Second Name"};

bool oneOf(std::string_view title, std::span<const std::string_view> titles) {
    return std::ranges::any_of(
        titles, [title](std::string_view t) { return equalsIgnoringCase(title, t); });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A numbered column title "Phone N - what": N and what, or nullopt.
std::optional<std::pair<std::string_view, std::string_view>> phoneNumbered(std::string_view title) {
    constexpr std::string_view prefix = "Phone ";
    constexpr std::string_view dash = " - ";
    const size_t at = title.find(dash);
    if (at == std::string_view::npos || at <= prefix.size() ||
        !equalsIgnoringCase(title.substr(0, prefix.size()), prefix)) {
        return std::nullopt;
    }
    const std::string_view n = title.substr(prefix.size(), at - prefix.size());
    if (!std::ranges::all_of(n, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::pair(n, title.substr(at + dash.size()));
}

char separatorOf(std::string_view text) {
    const std::string_view line = text.substr(0, text.find('\n'));
    char best = ',';
    for (const char candidate : {';', '\t'}) {
        if (std::ranges::count(line, candidate) > std::ranges::count(line, best)) {
            best = candidate;
        }
    }
    return best;
}

bool isMobileLabel(std::string_view label) {
    const std::string_view text = trimmed(label);
    for (size_t i = 0; i + 6 <= text.size(); ++i) {
        if (equalsIgnoringCase(text.substr(i, 6), "mobile")) {
            return true;
        }
    }
    return text.starts_with('*'); // an online address book's mark of the preferred number
}

} // namespace

CsvReader::CsvReader(std::string_view text, const std::optional<CsvColumnChoice> &choice)
    : text_(text), separator_(separatorOf(text)) {
    nextRecord(header_);
    if (!choice) {
        matchHeader();
    } else if (choice->name < header_.size() && choice->number < header_.size()) {
        fullName_ = choice->name;
        numbers_.push_back({choice->number, kMobileRank, std::nullopt});
    }
}

void CsvReader::matchHeader() {
    std::map<std::string_view, size_t> labels; // of "Phone N - Label" or "- Type", by N
    for (size_t index = 0; index < header_.size(); ++index) {
        const auto numbered = phoneNumbered(trimmed(header_[index]));
        if (numbered && (equalsIgnoringCase(numbered->second, "Label") ||
                         equalsIgnoringCase(numbered->second, "Type"))) {
            labels[numbered->first] = index;
        }
    }
    std::vector<std::pair<int, size_t>> parts;
    for (size_t index = 0; index < header_.size(); ++index) {
        const std::string_view title = trimmed(header_[index]);
        for (const NamedColumn &column : kNameColumns) {
            if (equalsIgnoringCase(title, column.title)) {
                if (column.part == 0) {
                    fullName_ = index;
                } else {
                    parts.emplace_back(column.part, index);
                }
            }
        }
        for (const NamedColumn &column : kNumberColumns) {
            if (equalsIgnoringCase(title, column.title)) {
                numbers_.push_back({index, column.part, std::nullopt});
            }
        }
        if (!email_ && oneOf(title, kEmailColumns)) {
            email_ = index;
        }
        if (!secondName_ && oneOf(title, kSecondNameColumns)) {
            secondName_ = index;
        }
        const auto numbered = phoneNumbered(title);
        if (numbered && equalsIgnoringCase(numbered->second, "Value")) {
            const auto label = labels.find(numbered->first);
            numbers_.push_back(
                {index, 1, label == labels.end() ? std::nullopt : std::optional(label->second)});
        }
    }
    std::ranges::stable_sort(parts, {}, &std::pair<int, size_t>::first);
    for (const auto &[part, index] : parts) {
        nameParts_.push_back(index);
    }
}

// RFC 4180 2, read leniently: a quotation mark inside an unquoted field, and text after a
// closing one, are kept as they stand; a record may end in CR LF, LF or CR.
bool CsvReader::nextRecord(std::vector<std::string> &fields) {
    fields.assign(1, std::string());
    if (pos_ >= text_.size()) {
        return false;
    }
    bool quoted = false;
    while (pos_ < text_.size()) {
        const char c = text_[pos_++];
        std::string &field = fields.back();
        if (quoted && c == '"' && pos_ < text_.size() && text_[pos_] == '"') {
            field += '"';
            ++pos_;
        } else if (c == '"' && (quoted || field.empty())) {
            quoted = !quoted;
        } else if (quoted) {
            field += c;
        } else if (c == separator_) {
            fields.emplace_back();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
                ++pos_;
            }
            break;
        } else {
            field += c;
        }
    }
    return true;
}

bool CsvReader::next(Contact &contact) {
    contact = {};
    const auto cell = [this](size_t index) {
        return index < fields_.size() ? std::string_view(fields_[index]) : std::string_view();
    };
    while (nextRecord(fields_)) {
        if (std::ranges::all_of(fields_, &std::string::empty)) {
            continue;
        }
        if (fullName_) {
            contact.name = cell(*fullName_);
        }
        if (email_) {
            contact.email = cell(*email_);
        }
        if (secondName_) {
            contact.secondName = cell(*secondName_);
        }
        const bool fromParts = contact.name.empty();
        for (const size_t index : fromParts ? nameParts_ : std::vector<size_t>()) {
            if (!cell(index).empty()) {
                contact.name += contact.name.empty() ? "" : " ";
                contact.name += cell(index);
            }
        }
        std::vector<std::pair<int, size_t>> order;
        for (const NumberColumn &column : numbers_) {
            const bool mobile = column.label && isMobileLabel(cell(*column.label));
            order.emplace_back(mobile ? kMobileRank : column.rank, column.index);
        }
        std::ranges::stable_sort(order, {}, &std::pair<int, size_t>::first);
        for (const auto &[rank, index] : order) {
            std::string_view numbers = cell(index);
            while (!numbers.empty()) {
                const size_t joint = numbers.find(kJoinedNumbers);
                std::string number = cleanNumber(numbers.substr(0, joint));
                if (!number.empty()) {
                    contact.numbers.push_back(std::move(number));
                }
                numbers.remove_prefix(joint == std::string_view::npos
                                          ? numbers.size()
                                          : joint + kJoinedNumbers.size());
            }
        }
        return true;
    }
    return false;
}

} // namespace velnor
