#include "widgets/ListHeadings.h"

#include <cctype>
#include <climits>
#include <cstdint>

namespace velnor {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

uint32_t littleEndian32(const std::vector<uint8_t> &bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

} // namespace

int leadingInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

std::vector<Heading> parseHeadings(std::string_view text) {
    std::vector<Heading> headings;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            return headings;
        }
        size_t semicolon = text.find(';', comma + 1);
        const size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
        headings.push_back({std::string(text.substr(start, comma - start)),
                            leadingInt(text.substr(comma + 1, end - comma - 1))});
        if (semicolon == std::string_view::npos) {
            return headings;
        }
        start = semicolon + 1;
    }
}

std::string columnWidthsText(const std::vector<int> &widths) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    auto put = [&](uint32_t value) {
        for (int byte = 0; byte < 4; ++byte) {
            const uint8_t b = static_cast<uint8_t>(value >> (8 * byte));
            text += digits[b >> 4];
            text += digits[b & 0x0F];
        }
    };
    put(static_cast<uint32_t>(widths.size()));
    for (const int width : widths) {
        put(static_cast<uint32_t>(width));
    }
    return text;
}

std::optional<std::vector<int>> parseColumnWidths(std::string_view text, size_t columnCount) {
    if (text.empty() || text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    if (bytes.size() < 4) {
        return std::nullopt;
    }
    const uint32_t count = littleEndian32(bytes, 0);
    if (count < 1 || count != columnCount || bytes.size() < 4 + 4 * static_cast<size_t>(count)) {
        return std::nullopt;
    }
    std::vector<int> widths;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t width = littleEndian32(bytes, 4 + 4 * i);
        if (width > static_cast<uint32_t>(INT_MAX)) {
            return std::nullopt;
        }
        widths.push_back(static_cast<int>(width));
    }
    return widths;
}

} // namespace velnor
