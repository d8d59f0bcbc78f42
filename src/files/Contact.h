#pragma once

// A contact as address books hand it over: a name, its telephone numbers, an e-mail address and
// a second name (a nickname).

#include <string>
#include <string_view>
#include <vector>

namespace velnor {

struct Contact {
    std::string name;
    std::vector<std::string> numbers; // the preferred or mobile number first
    std::string email;
    std::string secondName;
};

// A number as the card keeps it: the spaces, dashes, dots and parentheses people write between
// digits dropped, a tel URI (RFC 3966) without its "tel:" and its parameters. Everything else,
// a "+" anywhere included, stays, so that the card's fit check sees what the file held.
std::string cleanNumber(std::string_view text);

// Whether two texts are equal with ASCII letters compared regardless of case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace velnor
