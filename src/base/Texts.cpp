#include "base/Texts.h"

#include "base/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace velnor {

namespace {

constexpr int kMaxWidth = 512; // a larger width or precision in a pack is a mistake, not a layout

struct Conversion {
    std::string flags;
    int width = -1;
    int precision = -1;
    char conversion = 0;
};

std::string pad(std::string body, const Conversion &conversion) {
    const bool left = conversion.flags.find('-') != std::string::npos;
    if (conversion.width > 0 && static_cast<int>(body.size()) < conversion.width) {
        const size_t fill = static_cast<size_t>(conversion.width) - body.size();
        const bool zero = !left && conversion.flags.find('0') != std::string::npos &&
                          conversion.conversion != 's' && conversion.conversion != 'c';
        if (left) {
            body.append(fill, ' ');
        } else if (zero) {
            const size_t signAt = (!body.empty() && (body[0] == '-' || body[0] == '+')) ? 1 : 0;
            body.insert(signAt, fill, '0');
        } else {
            body.insert(0, fill, ' ');
        }
    }
    return body;
}

std::string formatInteger(long long value, const Conversion &conversion) {
    char buffer[64];
    switch (conversion.conversion) {
    case 'x':
        std::snprintf(buffer, sizeof buffer, "%llx", static_cast<unsigned long long>(value));
        break;
    case 'X':
        std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(value));
        break;
    case 'o':
        std::snprintf(buffer, sizeof buffer, "%llo", static_cast<unsigned long long>(value));
        break;
    case 'u':
        std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(value));
        break;
    default:
        std::snprintf(buffer, sizeof buffer, "%lld", value);
        break;
    }
    std::string body = buffer;
    if (conversion.precision >= 0) {
        const bool negative = !body.empty() && body[0] == '-';
        const size_t digits = body.size() - (negative ? 1 : 0);
        if (static_cast<size_t>(conversion.precision) > digits) {
            body.insert(negative ? 1 : 0, static_cast<size_t>(conversion.precision) - digits, '0');
        }
    }
    if (conversion.flags.find('+') != std::string::npos &&
        (conversion.conversion == 'd' || conversion.conversion == 'i') && value >= 0) {
        body.insert(0, 1, '+');
    }
    return pad(body, conversion);
}

std::string render(const FormatArg *arg, const Conversion &conversion) {
    if (arg == nullptr) {
        return pad(std::string(), conversion);
    }
    if (conversion.conversion == 's') {
        std::string text = std::holds_alternative<std::string>(*arg)
                               ? std::get<std::string>(*arg)
                               : std::to_string(std::get<long long>(*arg));
        if (conversion.precision >= 0) {
            text = firstCharacters(text, conversion.precision);
        }
        return pad(text, conversion);
    }
    if (conversion.conversion == 'c') {
        if (std::holds_alternative<std::string>(*arg)) {
            return pad(firstCharacters(std::get<std::string>(*arg), 1), conversion);
        }
        const long long value = std::get<long long>(*arg);
        return pad(value > 0 && value < 0x80 ? std::string(1, static_cast<char>(value)) : "?",
                   conversion);
    }
    if (std::holds_alternative<std::string>(*arg)) {
        return pad(std::get<std::string>(*arg), conversion); // a text where a number was expected
    }
    return formatInteger(std::get<long long>(*arg), conversion);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal number at format[i], capped so that a hostile width cannot allocate much.
int readNumber(std::string_view format, size_t &i) {
    int value = 0;
    while (i < format.size() && isDigit(format[i])) {
        value = std::min(value * 10 + (format[i] - '0'), kMaxWidth * 10);
        ++i;
    }
    return value;
}

} // namespace

std::string formatChecked(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(format.size() + 16);
    size_t nextArg = 0;
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        const size_t start = i++;
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Conversion conversion;
        size_t position = 0; // 1-based when given as "%n$"
        size_t probe = i;
        const int maybePosition = readNumber(format, probe);
        if (probe > i && probe < format.size() && format[probe] == '$' && maybePosition > 0) {
            position = static_cast<size_t>(maybePosition);
            i = probe + 1;
        }
        while (i < format.size() &&
               std::string_view("-+ #0").find(format[i]) != std::string_view::npos) {
            conversion.flags += format[i++];
        }
        if (i < format.size() && isDigit(format[i])) {
            conversion.width = std::min(readNumber(format, i), kMaxWidth);
        }
        if (i < format.size() && format[i] == '.') {
            ++i;
            conversion.precision = std::min(readNumber(format, i), kMaxWidth);
        }
        while (i < format.size() &&
               std::string_view("hlLqjzt").find(format[i]) != std::string_view::npos) {
            ++i;
        }
        if (i >= format.size() ||
            std::string_view("diuxXocs").find(format[i]) == std::string_view::npos) {
            // Not a conversion we give arguments to: show it as written rather than guess.
            const size_t end = i < format.size() ? i + 1 : i;
            out.append(format.substr(start, end - start));
            i = end;
            continue;
        }
        conversion.conversion = format[i++];
        const size_t index = position > 0 ? position - 1 : nextArg++;
        out += render(index < args.size() ? &args[index] : nullptr, conversion);
    }
    return out;
}

std::string Texts::get(int id) const {
    const char *text = find(id);
    return text != nullptr ? std::string(text) : std::string();
}

std::string Texts::format(int id, std::initializer_list<FormatArg> args) const {
    const char *text = find(id);
    if (text == nullptr) {
        return std::string();
    }
    return formatChecked(text, std::span<const FormatArg>(args.begin(), args.size()));
}

} // namespace velnor
