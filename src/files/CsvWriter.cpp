#include "files/CsvWriter.h"

#include <string_view>

namespace velnor {

namespace {

constexpr size_t kNameColumn = 1;
constexpr size_t kNumberColumn = 2;

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
    std::string out = "Name,Number\r\n";
    for (size_t row = 0; row < phonebook.rowCount(); ++row) {
        const std::string &name = phonebook.cell(row, kNameColumn);
        const std::string &number = phonebook.cell(row, kNumberColumn);
        if (name.empty() && number.empty()) {
            continue;
        }
        appendField(out, name);
        out += ',';
        appendField(out, number);
        out += "\r\n";
    }
    return out;
}

} // namespace velnor
