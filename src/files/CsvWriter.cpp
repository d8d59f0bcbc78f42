#include "files/CsvWriter.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "records/MessageStore.h"

namespace velnor {

namespace {

// The header of each list column from Name on, as address books name them.
constexpr std::array<std::string_view, 5> kTitles = {"Name", "Number", "E-mail",
                                                     "Additional Number", "Nickname"};

// RFC 4180 2.6 and 2.7: a field with a comma, a quotation mark or a line break is quoted, its
// quotation marks doubled.
void appendField(std::string &out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(field);
        return;
    }
    out += '"';
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
}

} // namespace

std::string csvText(const RowList &phonebook) {
    const size_t end = std::min(phonebook.columnsInUse(), column::Name + kTitles.size());
    std::string out;
    for (size_t column = column::Name; column < end; ++column) {
        out += column == column::Name ? "" : ",";
        out += kTitles[column - column::Name];
    }
    out += "\r\n";
    for (size_t row = 0; row < phonebook.rowCount(); ++row) {
        std::string record;
        bool empty = true;
        for (size_t column = column::Name; column < end; ++column) {
            record += column == column::Name ? "" : ",";
            appendField(record, phonebook.cell(row, column));
            empty = empty && phonebook.cell(row, column).empty();
        }
        if (!empty) {
            out += record;
            out += "\r\n";
        }
    }
    return out;
}

} // namespace velnor
