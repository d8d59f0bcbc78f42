#include "files/VCardWriter.h"

#include <string_view>

namespace velnor {

namespace {

constexpr size_t kNameColumn = 1;
constexpr size_t kNumberColumn = 2;
constexpr size_t kLineOctets = 75;

// RFC 2426 4: backslash, comma, semicolon and line breaks escaped in a text value.
std::string escaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue; // one line break, written once
        }
        if (text[i] == '\n' || text[i] == '\r') {
            out += "\\n";
        } else {
            if (text[i] == '\\' || text[i] == ',' || text[i] == ';') {
                out += '\\';
            }
            out += text[i];
        }
    }
    return out;
}

// RFC 2426 2.6: a line longer than 75 octets goes on in lines that start with a blank, never
// splitting a UTF-8 character.
void appendLine(std::string &out, std::string_view line) {
    size_t room = kLineOctets;
    while (line.size() > room) {
        size_t cut = room;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kLineOctets - 1;
    }
    out.append(line);
    out += "\r\n";
}

} // namespace

std::string vCardText(const RowList &phonebook) {
    std::string out;
    for (size_t row = 0; row < phonebook.rowCount();) {
        const std::string &name = phonebook.cell(row, kNameColumn);
        size_t end = row + 1;
        while (end < phonebook.rowCount() && !name.empty() &&
               phonebook.cell(end, kNameColumn) == name) {
            ++end;
        }
        if (name.empty() && phonebook.cell(row, kNumberColumn).empty()) {
            row = end;
            continue;
        }
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        appendLine(out, "FN:" + escaped(name));
        appendLine(out, "N:" + escaped(name) + ";;;;");
        for (; row < end; ++row) {
            if (!phonebook.cell(row, kNumberColumn).empty()) {
                appendLine(out, "TEL:" + escaped(phonebook.cell(row, kNumberColumn)));
            }
        }
        out += "END:VCARD\r\n";
    }
    return out;
}

} // namespace velnor
