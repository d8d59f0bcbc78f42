#pragma once

// The code pages a file from another program may be written in: the Unicode forms, the ANSI
// code pages of Windows and a few others of the same regions.

#include <span>
#include <string>
#include <string_view>

namespace velnor {

enum class CodeUnits { Utf8, Utf16Le, Utf16Be, SingleByte, MultiByte };

struct CodePage {
    std::string_view name;     // as the program shows it and as users give it
    std::string_view aliases;  // other names users know it by, separated by blanks
    const char *converter;     // the C library's (iconv) name
    std::string_view detected; // the names charset detection gives it, separated by blanks
    CodeUnits units;
};

std::span<const CodePage> codePages();

// The code page of a name or alias; capitals, "-" and "_" do not count ("CP1251" is
// "windows-1251", "utf8" is "UTF-8"). nullptr for a name that is none of them.
const CodePage *findCodePage(std::string_view name);

// The code page charset detection calls `detectedName`, or nullptr when it is none of them.
const CodePage *detectedCodePage(std::string_view detectedName);

const CodePage &utf8CodePage();

// The names of every code page, separated by ", ", to tell users what they may give.
std::string codePageNames();

} // namespace velnor
