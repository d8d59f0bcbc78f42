// Turns a language table into C++: either a loadable pack exporting GetLangName, GetLangID and
// GetLangString, or a table built into a program under a namespace of its own.
//
//   langgen pack TABLE OUT.cpp [REFERENCE]
//   langgen builtin TABLE OUT.cpp NAMESPACE
//
// With a REFERENCE table (the English one) a pack must hold exactly its string numbers, none
// empty, each giving every argument the reference's conversion: a pack that would show a wrong
// text, or crash a printf, never gets built.
//
// A table is UTF-8 text: "@name<TAB>display name", "@id<TAB>0x409", then "NUMBER<TAB>text" lines
// with \n, \t and \\ escapes; lines starting with # and blank lines are ignored.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

struct Table {
    std::string name;
    long id = -1;
    std::map<int, std::string> strings;
};

[[noreturn]] void fail(const std::string &where, const std::string &what) {
    std::cerr << where << ": " << what << '\n';
    std::exit(1);
}

std::string unescape(const std::string &text, const std::string &where) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            fail(where, "a backslash ends the line");
        }
        switch (text[i]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            fail(where, std::string("unknown escape \\") + text[i]);
        }
    }
    return out;
}

Table readTable(const std::string &path) {
    std::ifstream in(path);
    if (!in) {
        fail(path, "cannot be read");
    }
    Table table;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            fail(where, "no tab between key and text");
        }
        const std::string key = line.substr(0, tab);
        const std::string text = unescape(line.substr(tab + 1), where);
        if (key == "@name") {
            table.name = text;
        } else if (key == "@id") {
            table.id = std::strtol(text.c_str(), nullptr, 0);
        } else {
            char *end = nullptr;
            const long id = std::strtol(key.c_str(), &end, 10);
            if (end == key.c_str() || *end != '\0' || id <= 0 || id > 65535) {
                fail(where, "bad string number \"" + key + "\"");
            }
            if (!table.strings.emplace(static_cast<int>(id), text).second) {
                fail(where, "string " + key + " is given twice");
            }
        }
    }
    if (table.name.empty() || table.id < 0) {
        fail(path, "@name and @id are required");
    }
    return table;
}

// The conversion of each argument of a printf format, by argument number ("%2$d" is the
// second); %i counts as %d.
std::map<int, char> conversions(const std::string &format) {
    std::map<int, char> result;
    int next = 1;
    for (size_t i = format.find('%'); i != std::string::npos; i = format.find('%', i)) {
        size_t j = i + 1;
        size_t digits = j;
        while (digits < format.size() && std::isdigit(static_cast<unsigned char>(format[digits]))) {
            ++digits;
        }
        int argument = 0;
        if (digits > j && digits < format.size() && format[digits] == '$') {
            argument = std::stoi(format.substr(j, digits - j));
            j = digits + 1;
        }
        j = format.find_first_not_of("-+ #0123456789.hlLqjzt", j);
        if (j == std::string::npos) {
            break;
        }
        if (format[j] != '%') {
            result[argument != 0 ? argument : next++] = format[j] == 'i' ? 'd' : format[j];
        }
        i = j + 1;
    }
    return result;
}

void checkAgainst(const Table &table, const Table &reference, const std::string &path) {
    for (const auto &[id, text] : reference.strings) {
        const auto found = table.strings.find(id);
        const std::string where = path + ": string " + std::to_string(id);
        if (found == table.strings.end()) {
            fail(where, "is missing");
        }
        if (found->second.empty()) {
            fail(where, "is empty");
        }
        if (conversions(found->second) != conversions(text)) {
            fail(where, "does not take the arguments of the reference \"" + text + "\"");
        }
    }
    for (const auto &[id, text] : table.strings) {
        if (reference.strings.count(id) == 0) {
            fail(path + ": string " + std::to_string(id), "is not in the reference table");
        }
    }
}

std::string literal(const std::string &text) {
    std::ostringstream out;
    out << '"';
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (c < 0x20 || c >= 0x7F) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out << octal;
        } else {
            out << c;
        }
    }
    out << '"';
    return out.str();
}

void writeEntries(std::ostream &out, const Table &table) {
    out << "struct Entry {\n    int id;\n    const char *text;\n};\n";
    out << "const Entry kEntries[] = {\n";
    for (const auto &[id, text] : table.strings) {
        out << "    {" << id << ", " << literal(text) << "},\n";
    }
    out << "};\n\n";
    out << "const char *lookup(int id) {\n"
           "    size_t low = 0;\n"
           "    size_t high = sizeof kEntries / sizeof kEntries[0];\n"
           "    while (low < high) {\n"
           "        const size_t mid = (low + high) / 2;\n"
           "        if (kEntries[mid].id < id) {\n"
           "            low = mid + 1;\n"
           "        } else {\n"
           "            high = mid;\n"
           "        }\n"
           "    }\n"
           "    const bool found = low < sizeof kEntries / sizeof kEntries[0] && kEntries[low].id "
           "== id;\n"
           "    return found ? kEntries[low].text : nullptr;\n"
           "}\n";
}

} // namespace

int main(int argc, char **argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "pack" && (argc == 4 || argc == 5)) || (mode == "builtin" && argc == 5))) {
        std::cerr
            << "usage: langgen pack TABLE OUT.cpp [REFERENCE] | langgen builtin TABLE OUT.cpp "
               "NAMESPACE\n";
        return 2;
    }
    const Table table = readTable(argv[2]);
    if (mode == "pack" && argc == 5) {
        checkAgainst(table, readTable(argv[4]), argv[2]);
    }
    std::ostringstream out;
    out << "// Generated from " << argv[2] << " by langgen; edit the table, not this file.\n";
    out << "#include <cstddef>\n\n";
    if (mode == "pack") {
        out << "namespace {\n\n";
        writeEntries(out, table);
        out << "\n} // namespace\n\n";
        out << "extern \"C\" __attribute__((visibility(\"default\"))) const char *GetLangName() { "
               "return "
            << literal(table.name) << "; }\n";
        out << "extern \"C\" __attribute__((visibility(\"default\"))) int GetLangID() { return "
            << table.id << "; }\n";
        out << "extern \"C\" __attribute__((visibility(\"default\"))) const char "
               "*GetLangString(int id) "
               "{ return lookup(id); }\n";
    } else {
        out << "namespace " << argv[4] << " {\n\nnamespace {\n\n";
        writeEntries(out, table);
        out << "\n} // namespace\n\n";
        out << "const char *langName() { return " << literal(table.name) << "; }\n";
        out << "int langId() { return " << table.id << "; }\n";
        out << "const char *langString(int id) { return lookup(id); }\n\n";
        out << "} // namespace " << argv[4] << "\n";
    }
    // Written only when changed, so that a rebuild does not recompile what did not change.
    const std::string text = out.str();
    std::ifstream old(argv[3]);
    std::stringstream oldText;
    oldText << old.rdbuf();
    if (!old || oldText.str() != text) {
        std::ofstream(argv[3], std::ios::trunc) << text;
    }
    return 0;
}
