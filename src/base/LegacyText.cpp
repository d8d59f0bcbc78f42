#include "base/LegacyText.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

#include "base/Utf8.h"

namespace velnor {

namespace {

// An open iconv descriptor, closed on every way out.
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

    // Converts all of bytes; a byte that cannot be read becomes U+FFFD and is skipped.
    std::string convert(std::string_view bytes) {
        std::string out;
        out.resize(bytes.size() * 2 + 16);
        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = bytes.size();
        size_t written = 0;
        while (inLeft > 0) {
            char *to = out.data() + written;
            size_t outLeft = out.size() - written;
            const size_t result = iconv(cd_, &in, &inLeft, &to, &outLeft);
            written = out.size() - outLeft;
            if (result != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut short at the end).
            if (out.size() - written < 4) {
                out.resize(out.size() * 2);
            }
            written += writeUtf8(out.data() + written, kReplacementChar);
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(written);
        return out;
    }

private:
    iconv_t cd_;
};

// The UTF-8 forms of the Windows-1252 bytes 0x80-0xFF, taken from the C library once.
const std::array<std::string, 128> &windows1252Table() {
    static const std::array<std::string, 128> table = [] {
        std::array<std::string, 128> t;
        Converter converter("WINDOWS-1252");
        for (size_t i = 0; i < t.size(); ++i) {
            const char byte = static_cast<char>(0x80 + i);
            std::string utf8;
            if (converter.ok()) {
                utf8 = converter.convert(std::string_view(&byte, 1));
            }
            if (utf8.empty() || utf8 == "\xEF\xBF\xBD") {
                utf8.clear();
                appendUtf8(utf8, static_cast<char32_t>(0x80 + i));
            }
            t[i] = utf8;
        }
        return t;
    }();
    return table;
}

struct GbkScan {
    bool wellFormed = true;
    size_t common = 0;
    size_t outside = 0; // double-byte characters outside GB 2312
};

GbkScan scanGbk(std::string_view bytes) {
    GbkScan scan;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= bytes.size()) {
            scan.wellFormed = false;
            return scan;
        }
        const auto trail = static_cast<uint8_t>(bytes[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            scan.wellFormed = false;
            return scan;
        }
        const bool gb2312 = lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1;
        const bool common = gb2312 && (lead <= 0xA9 || (lead >= 0xB0 && lead <= 0xD7));
        if (common) {
            ++scan.common;
        } else if (!gb2312) {
            ++scan.outside;
        }
        i += 2;
    }
    return scan;
}

// Valid UTF-8 sequences as they are, every other byte as Windows-1252.
std::string windows1252ToUtf8(std::string_view bytes) {
    const std::array<std::string, 128> &table = windows1252Table();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    size_t pos = 0;
    while (pos < bytes.size()) {
        const auto byte = static_cast<uint8_t>(bytes[pos]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            ++pos;
            continue;
        }
        const size_t start = pos;
        const char32_t cp = nextCodePoint(bytes, pos);
        if (cp == kReplacementChar && pos - start == 1) {
            out += table[byte - 0x80];
        } else {
            out.append(bytes, start, pos - start);
        }
    }
    return out;
}

} // namespace

TextEncoding detectTextEncoding(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        return TextEncoding::Utf8;
    }
    const GbkScan scan = scanGbk(bytes);
    return scan.wellFormed && scan.common > scan.outside ? TextEncoding::Gbk
                                                         : TextEncoding::Windows1252;
}

std::string convertToUtf8(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return std::string(bytes);
    case TextEncoding::Gbk: {
        Converter converter("GB18030");
        if (converter.ok()) {
            return converter.convert(bytes);
        }
        return windows1252ToUtf8(bytes);
    }
    case TextEncoding::Windows1252:
        break;
    }
    return windows1252ToUtf8(bytes);
}

std::string textAsUtf8(std::string_view bytes) {
    return convertToUtf8(bytes, detectTextEncoding(bytes));
}

} // namespace velnor
