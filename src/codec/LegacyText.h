#pragma once

// Files from other programs are not always UTF-8. They are read as UTF-8 text all the same:
//  - a byte-order mark says UTF-8, UTF-16LE or UTF-16BE;
//  - bytes that are valid UTF-8 are taken as they are;
//  - otherwise charset detection names the code page, and says when it is not sure.
// A code page the user names is taken as said. A text ends at its first zero character.

#include <string>
#include <string_view>

#include "codec/CodePages.h"

namespace velnor {

struct TextReading {
    std::string_view text; // UTF-8
    const CodePage *codePage = nullptr;
    bool guessed = false; // detection was not sure of the code page
};

// The text of a file's bytes, read in `named` or, without one, in the code page found as above:
// a view into bytes when they are UTF-8 already, otherwise into `converted`.
TextReading readText(std::string_view bytes, std::string &converted,
                     const CodePage *named = nullptr);

// The bytes as UTF-8 text in a code page. Bytes it cannot read become U+FFFD; a byte a single-byte
// code page leaves unassigned becomes the character of the same value, as Windows reads those of
// windows-1252. With keepUtf8Runs, a run of non-ASCII bytes that is valid UTF-8 stays as it is: a
// UTF-8 file with a name pasted in from an old one keeps both. The result is allocated once, at
// its final size.
std::string convertToUtf8(std::string_view bytes, const CodePage &page, bool keepUtf8Runs = false);

// The text of bytes found as above, as a string.
std::string textAsUtf8(std::string_view bytes);

} // namespace velnor
