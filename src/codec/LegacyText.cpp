#include "codec/LegacyText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

#include "base/Utf8.h"
#include "codec/CodePageGuess.h"

namespace velnor {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// An open iconv descriptor to UTF-8, closed on every way out.
class Converter {
public:
    explicit Converter(const char *from) : cd_(iconv_open("UTF-8", from)) {}
    ~Converter() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Feeds sink the UTF-8 text of bytes piece by piece; a unit of `unit` bytes that cannot be
    // read becomes U+FFFD. Without a converter every non-ASCII byte is unreadable.
    template <typename Sink> void convert(std::string_view bytes, size_t unit, Sink &sink) {
        if (!ok()) {
            for (const char byte : bytes) {
                sink(static_cast<uint8_t>(byte) < 0x80 ? std::string_view(&byte, 1) : kReplacement);
            }
            return;
        }
        std::array<char, 16384> buffer;
        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char *to = buffer.data();
            size_t outLeft = buffer.size();
            const size_t result = iconv(cd_, &in, &inLeft, &to, &outLeft);
            const int error = errno;
            sink(std::string_view(buffer.data(), buffer.size() - outLeft));
            if (result != static_cast<size_t>(-1) || error == E2BIG) {
                continue;
            }
            // EILSEQ, or EINVAL for a sequence cut short at the end.
            sink(kReplacement);
            const size_t skip = std::min(unit, inLeft);
            in += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    iconv_t cd_;
};

// The UTF-8 forms of the bytes 0x80-0xFF in a single-byte code page.
using ByteTable = std::array<std::string, 128>;

ByteTable byteTable(const CodePage &page) {
    ByteTable table;
    Converter converter(page.converter);
    for (size_t i = 0; i < table.size(); ++i) {
        const char byte = static_cast<char>(0x80 + i);
        std::string &utf8 = table[i];
        auto append = [&utf8](std::string_view piece) { utf8 += piece; };
        converter.convert(std::string_view(&byte, 1), 1, append);
        if (utf8.empty() || utf8 == kReplacement) {
            utf8.clear();
            appendUtf8(utf8, static_cast<char32_t>(0x80 + i));
        }
    }
    return table;
}

template <typename Sink>
void singleBytePieces(std::string_view bytes, const ByteTable &table, bool keepUtf8Runs,
                      Sink &sink) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = pos;
        while (end < bytes.size() && static_cast<uint8_t>(bytes[end]) < 0x80) {
            ++end;
        }
        if (end > pos) {
            sink(bytes.substr(pos, end - pos));
            pos = end;
            continue;
        }
        while (end < bytes.size() && static_cast<uint8_t>(bytes[end]) >= 0x80) {
            ++end;
        }
        const std::string_view run = bytes.substr(pos, end - pos);
        if (keepUtf8Runs && isValidUtf8(run)) {
            sink(run);
        } else {
            for (const char byte : run) {
                sink(table[static_cast<uint8_t>(byte) - 0x80]);
            }
        }
        pos = end;
    }
}

template <typename Sink> void utf8Pieces(std::string_view bytes, Sink &sink) {
    size_t from = 0;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t start = pos;
        if (nextCodePoint(bytes, pos) == kReplacementChar && pos - start == 1) {
            sink(bytes.substr(from, start - from));
            sink(kReplacement);
            from = pos;
        }
    }
    sink(bytes.substr(from));
}

template <typename Sink>
void decodePieces(std::string_view bytes, const CodePage &page, bool keepUtf8Runs, Sink &sink) {
    switch (page.units) {
    case CodeUnits::Utf8:
        utf8Pieces(bytes, sink);
        return;
    case CodeUnits::SingleByte:
        singleBytePieces(bytes, byteTable(page), keepUtf8Runs, sink);
        return;
    case CodeUnits::Utf16Le:
    case CodeUnits::Utf16Be:
        Converter(page.converter).convert(bytes, 2, sink);
        return;
    case CodeUnits::MultiByte:
        break;
    }
    Converter(page.converter).convert(bytes, 1, sink);
}

const CodePage &pageOf(CodeUnits units) {
    for (const CodePage &page : codePages()) {
        if (page.units == units) {
            return page;
        }
    }
    return utf8CodePage();
}

struct ByteOrderMark {
    std::string_view bytes;
    CodeUnits units;
};
constexpr ByteOrderMark kByteOrderMarks[] = {{"\xEF\xBB\xBF", CodeUnits::Utf8},
                                             {"\xFF\xFE", CodeUnits::Utf16Le},
                                             {"\xFE\xFF", CodeUnits::Utf16Be}};

bool isUtf16(CodeUnits units) {
    return units == CodeUnits::Utf16Le || units == CodeUnits::Utf16Be;
}

// The bytes before the first zero character: a zero unit of UTF-16, a zero byte otherwise.
std::string_view beforeZero(std::string_view bytes, CodeUnits units) {
    if (!isUtf16(units)) {
        return bytes.substr(0, bytes.find('\0'));
    }
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
            return bytes.substr(0, i);
        }
    }
    return bytes;
}

} // namespace

std::string convertToUtf8(std::string_view bytes, const CodePage &page, bool keepUtf8Runs) {
    size_t size = 0;
    auto count = [&size](std::string_view piece) { size += piece.size(); };
    decodePieces(bytes, page, keepUtf8Runs, count);
    std::string out;
    out.reserve(size);
    auto append = [&out](std::string_view piece) { out.append(piece); };
    decodePieces(bytes, page, keepUtf8Runs, append);
    return out;
}

TextReading readText(std::string_view bytes, std::string &converted, const CodePage *named) {
    const CodePage *page = named;
    for (const ByteOrderMark &mark : kByteOrderMarks) {
        if (bytes.starts_with(mark.bytes) && (named == nullptr || named->units == mark.units)) {
            page = &pageOf(mark.units);
            bytes.remove_prefix(mark.bytes.size());
            break;
        }
    }
    bytes = beforeZero(bytes, page != nullptr ? page->units : CodeUnits::Utf8);
    const bool valid = (page == nullptr || page->units == CodeUnits::Utf8) && isValidUtf8(bytes);
    if (page == nullptr && valid) {
        page = &utf8CodePage();
    }
    if (valid) {
        return {bytes, page, false};
    }
    bool guessed = false;
    const bool detected = page == nullptr;
    if (detected) {
        const CodePageGuess guess = guessCodePage(bytes);
        page = guess.codePage;
        guessed = !guess.sure;
    }
    converted = convertToUtf8(bytes, *page, detected);
    return {converted, page, guessed};
}

std::string textAsUtf8(std::string_view bytes) {
    std::string converted;
    const TextReading reading = readText(bytes, converted);
    return reading.text.data() == converted.data() ? std::move(converted)
                                                   : std::string(reading.text);
}

} // namespace velnor
