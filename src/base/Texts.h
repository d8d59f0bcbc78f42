#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace velnor {

// One argument of a pack format: a number or a text.
using FormatArg = std::variant<long long, std::string>;

// Formats a printf-style pack text without trusting it: every conversion is checked against the
// argument it takes, positional "%2$d" forms are honoured, and anything the format gets wrong
// (a missing argument, a text given to %d, an unknown conversion) gives readable output instead
// of undefined behaviour.
std::string formatChecked(std::string_view format, std::span<const FormatArg> args);

// The texts of the current language, by string number. The program holds one instance for its
// whole run; a language switch changes what it answers, never the object itself.
class Texts {
public:
    virtual ~Texts() = default;

    // The text of id, or nullptr when the current pack does not have it.
    virtual const char *find(int id) const = 0;

    std::string get(int id) const;
    bool has(int id) const { return find(id) != nullptr; }
    std::string format(int id, std::initializer_list<FormatArg> args) const;
};

} // namespace velnor
