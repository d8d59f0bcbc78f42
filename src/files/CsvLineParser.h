#pragma once

// The field parser of list files. The whole input is one line: CR and LF are ordinary
// characters. A field that begins with a quotation mark ends at the next quotation mark and
// comma, any other field at the next comma; three quotation marks in a row stand for one inside
// a field. The last field of a quoted kind loses its last character (a whole UTF-8 character),
// taken as the closing mark.

#include <cstddef>
#include <string>
#include <string_view>

namespace velnor {

// Reads the fields of a text one at a time, so that a large file need not be held twice. Each
// step looks at every byte a bounded number of times: the time is linear in the text's size.
class CsvFieldCursor {
public:
    explicit CsvFieldCursor(std::string_view text);

    // The next field with its quoting removed; false when every field has been read.
    bool next(std::string &field);

private:
    // The first occurrence of a delimiter or of the escaped quote at or after a position, found
    // once and remembered while the position has not passed it.
    class NextOccurrence {
    public:
        NextOccurrence(std::string_view text, std::string_view needle)
            : text_(text), needle_(needle) {}
        size_t from(size_t pos);

    private:
        size_t search(size_t pos) const;

        std::string_view text_;
        std::string_view needle_;
        size_t found_ = 0;
        bool searched_ = false;
    };

    std::string_view text_;
    size_t pos_ = 0;
    bool done_;
    NextOccurrence comma_;
    NextOccurrence quoteComma_;
    NextOccurrence escapedQuote_;
};

} // namespace velnor
