#include "codec/CodePages.h"

#include <array>
#include <functional>

namespace velnor {

namespace {

// A Windows file in ISO-8859-N was written in the Windows code page of the same letters:
// detection's ISO names lead there.
constexpr std::array kCodePages = {
    CodePage{"UTF-8", "", "UTF-8", "", CodeUnits::Utf8},
    CodePage{"UTF-16LE", "", "UTF-16LE", "", CodeUnits::Utf16Le},
    CodePage{"UTF-16BE", "", "UTF-16BE", "", CodeUnits::Utf16Be},
    CodePage{"windows-1250", "cp1250", "CP1250", "windows-1250 ISO-8859-2", CodeUnits::SingleByte},
    CodePage{"windows-1251", "cp1251", "CP1251", "windows-1251", CodeUnits::SingleByte},
    CodePage{"windows-1252", "cp1252", "CP1252", "windows-1252 ISO-8859-1", CodeUnits::SingleByte},
    CodePage{"windows-1253", "cp1253", "CP1253", "windows-1253 ISO-8859-7", CodeUnits::SingleByte},
    CodePage{"windows-1254", "cp1254", "CP1254", "windows-1254 ISO-8859-9", CodeUnits::SingleByte},
    CodePage{"windows-1255", "cp1255", "CP1255", "windows-1255 ISO-8859-8 ISO-8859-8-I",
             CodeUnits::SingleByte},
    CodePage{"windows-1256", "cp1256", "CP1256", "windows-1256", CodeUnits::SingleByte},
    CodePage{"windows-1257", "cp1257", "CP1257", "", CodeUnits::SingleByte},
    CodePage{"windows-874", "cp874", "CP874", "", CodeUnits::SingleByte},
    CodePage{"KOI8-R", "", "KOI8-R", "KOI8-R", CodeUnits::SingleByte},
    CodePage{"ISO-8859-5", "", "ISO-8859-5", "ISO-8859-5", CodeUnits::SingleByte},
    CodePage{"Shift_JIS", "sjis cp932 windows-31j", "CP932", "Shift_JIS", CodeUnits::MultiByte},
    CodePage{"EUC-JP", "", "EUC-JP", "EUC-JP", CodeUnits::MultiByte},
    CodePage{"GB18030", "gbk cp936 gb2312", "GB18030", "GB18030", CodeUnits::MultiByte},
    CodePage{"Big5", "cp950", "CP950", "Big5", CodeUnits::MultiByte},
    CodePage{"EUC-KR", "cp949 uhc", "CP949", "EUC-KR", CodeUnits::MultiByte},
};

// Lower case without "-" and "_".
std::string folded(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == '-' || c == '_') {
            continue;
        }
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

// True when one of the blank-separated words of `list` is `name`, compared by `same`.
template <typename Same> bool listed(std::string_view list, std::string_view name, Same same) {
    while (!list.empty()) {
        const size_t blank = list.find(' ');
        if (same(list.substr(0, blank), name)) {
            return true;
        }
        list = blank == std::string_view::npos ? std::string_view() : list.substr(blank + 1);
    }
    return false;
}

} // namespace

std::span<const CodePage> codePages() {
    return kCodePages;
}

const CodePage *findCodePage(std::string_view name) {
    const auto sameFolded = [](std::string_view a, std::string_view b) {
        return folded(a) == folded(b);
    };
    for (const CodePage &page : kCodePages) {
        if (sameFolded(page.name, name) || listed(page.aliases, name, sameFolded)) {
            return &page;
        }
    }
    return nullptr;
}

const CodePage *detectedCodePage(std::string_view detectedName) {
    for (const CodePage &page : kCodePages) {
        if (listed(page.detected, detectedName, std::equal_to<std::string_view>())) {
            return &page;
        }
    }
    return nullptr;
}

const CodePage &utf8CodePage() {
    return kCodePages.front();
}

std::string codePageNames() {
    std::string names;
    for (const CodePage &page : kCodePages) {
        names += names.empty() ? "" : ", ";
        names += page.name;
    }
    return names;
}

} // namespace velnor
