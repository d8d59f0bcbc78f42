#pragma once

// Which code page bytes that are not UTF-8 are in, by ICU's charset detection. Detection looks
// at the words that are not UTF-8 (a list file's quotation marks, commas and digits would only
// dilute it) and ranks the code pages by how well the bytes fit each language's statistics. A
// code page whose reading of those words no person would have typed (a symbol amid letters, two
// alphabets in one word, a control character) is passed over. The first that remains is taken;
// it is sure when detection's confidence is high enough. When none remains, windows-1252, which
// reads every byte, is assumed.

#include <string_view>

#include "codec/CodePages.h"

namespace velnor {

struct CodePageGuess {
    const CodePage *codePage = nullptr;
    bool sure = false;
};

CodePageGuess guessCodePage(std::string_view bytes);

} // namespace velnor
