#pragma once

// Files from older programs are in a legacy code page, not UTF-8. They are converted on reading
// rather than refused:
//  - valid UTF-8 is taken as it is;
//  - otherwise, when the bytes form GBK double-byte characters throughout (lead 0x81-0xFE, trail
//    0x40-0x7E or 0x80-0xFE) and more of them are common Chinese characters (the symbols and the
//    first level of GB 2312, lead 0xA1-0xA9 or 0xB0-0xD7 with trail 0xA1-0xFE) than lie outside
//    GB 2312, the file is GBK and is converted as GB 18030, its superset. Second-level GB 2312
//    characters count for neither side: two accented Latin letters in a row ("ção") land there;
//  - otherwise every byte that is not part of a valid UTF-8 sequence is a Windows-1252
//    character; its five unassigned bytes become the control characters of the same value.
// Western text rarely passes as GBK: an accented letter is mostly followed by an ASCII letter,
// a quotation mark or a comma, which either break the GBK structure or fall outside GB 2312.

#include <string>
#include <string_view>

namespace velnor {

enum class TextEncoding { Utf8, Gbk, Windows1252 };

// The encoding of a file's bytes by the rule above.
TextEncoding detectTextEncoding(std::string_view bytes);

// The bytes as UTF-8 text in the given encoding. Bytes the encoding cannot read become U+FFFD.
std::string convertToUtf8(std::string_view bytes, TextEncoding encoding);

// The bytes as UTF-8 text, converted by the rule above when they are not UTF-8.
std::string textAsUtf8(std::string_view bytes);

} // namespace velnor
