#pragma once

// The text forms a sortable list is set up with: its headings, and the column widths it keeps
// in the profile.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

struct Heading {
    std::string title;
    int width = 0;
};

// "title,width; title,width; ...": a title runs to the next comma, its width (read as leading
// decimal digits) from there to the next semicolon or the end. The next title starts right
// after the semicolon, so a blank there belongs to it. Parsing stops when no comma follows.
std::vector<Heading> parseHeadings(std::string_view text);

// The value the widths are kept as: a 32-bit count, then one 32-bit width per column, all
// little-endian, written as hexadecimal text.
std::string columnWidthsText(const std::vector<int> &widths);

// The widths a kept value holds for a list of columnCount columns; nullopt when the value is
// empty, malformed, or was kept for another number of columns.
std::optional<std::vector<int>> parseColumnWidths(std::string_view text, size_t columnCount);

// atoi: optional blanks and sign, then decimal digits; 0 when there are none. Clamped to the
// range of int instead of overflowing.
int leadingInt(std::string_view text);

} // namespace velnor
