#pragma once

// What every contact a reader gives must be, whatever the input: a name, e-mail and second name
// that are UTF-8 when the input was, and numbers that are not empty, hold no separator and are
// UTF-8 when the input was.

#include <cstdlib>
#include <string>

#include "base/Utf8.h"
#include "files/Contact.h"

namespace velnor::fuzz {

inline void checkContact(const Contact &contact, bool utf8Input) {
    if (utf8Input && (!isValidUtf8(contact.name) || !isValidUtf8(contact.email) ||
                      !isValidUtf8(contact.secondName))) {
        std::abort();
    }
    for (const std::string &number : contact.numbers) {
        if (number.empty() || number.find_first_of(" \t-.()") != std::string::npos ||
            (utf8Input && !isValidUtf8(number))) {
            std::abort();
        }
    }
}

} // namespace velnor::fuzz
