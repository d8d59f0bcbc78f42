#include "files/Contact.h"

#include <algorithm>

namespace velnor {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

std::string cleanNumber(std::string_view text) {
    if (text.size() >= 4 && equalsIgnoringCase(text.substr(0, 4), "tel:")) {
        text.remove_prefix(4);
        text = text.substr(0, text.find(';'));
    }
    std::string number;
    for (const char c : text) {
        if (std::string_view(" \t-.()").find(c) == std::string_view::npos) {
            number += c;
        }
    }
    return number;
}

} // namespace velnor
