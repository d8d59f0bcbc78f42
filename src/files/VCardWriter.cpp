#include "files/VCardWriter.h"

#include <string_view>

#include "records/MessageStore.h"

namespace velnor {

namespace {

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

bool rowIsEmpty(const RowList &phonebook, size_t row) {
    for (size_t column = column::Name; column < phonebook.columnCount(); ++column) {
        if (!phonebook.cell(row, column).empty()) {
            return false;
        }
    }
    return true;
}

// Whether a row holds a further number of the contact that starts at row `first`: an import
// gives a contact's numbers after its additional number rows of their own, with its name and
// nothing else.
bool continuesContact(const RowList &phonebook, size_t first, size_t row) {
    const std::string &name = phonebook.cell(first, column::Name);
    return !name.empty() && !phonebook.cell(first, column::AdditionalNumber).empty() &&
           phonebook.cell(row, column::Name) == name &&
           phonebook.cell(row, column::Email).empty() &&
           phonebook.cell(row, column::AdditionalNumber).empty() &&
           phonebook.cell(row, column::SecondName).empty();
}

void appendProperty(std::string &out, std::string_view name, const std::string &value) {
    if (!value.empty()) {
        appendLine(out, std::string(name) + ":" + escaped(value));
    }
}

} // namespace

std::string vCardText(const RowList &phonebook) {
    std::string out;
    for (size_t row = 0; row < phonebook.rowCount();) {
        const size_t first = row;
        size_t end = row + 1;
        while (end < phonebook.rowCount() && continuesContact(phonebook, first, end)) {
            ++end;
        }
        row = end;
        if (rowIsEmpty(phonebook, first)) {
            continue;
        }
        const std::string &name = phonebook.cell(first, column::Name);
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        appendLine(out, "FN:" + escaped(name));
        appendLine(out, "N:" + escaped(name) + ";;;;");
        appendProperty(out, "NICKNAME", phonebook.cell(first, column::SecondName));
        appendProperty(out, "TEL", phonebook.cell(first, column::Number));
        appendProperty(out, "TEL", phonebook.cell(first, column::AdditionalNumber));
        for (size_t further = first + 1; further < end; ++further) {
            appendProperty(out, "TEL", phonebook.cell(further, column::Number));
        }
        appendProperty(out, "EMAIL", phonebook.cell(first, column::Email));
        out += "END:VCARD\r\n";
    }
    return out;
}

} // namespace velnor
