#include "files/ContactFile.h"

#include <filesystem>

#include "base/TextIds.h"
#include "files/Contact.h"
#include "files/CsvWriter.h"
#include "files/ListFile.h"
#include "files/VCardWriter.h"

namespace velnor {

ContactFormat contactFormatOfText(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    constexpr std::string_view begin = "BEGIN:VCARD";
    if (start != std::string_view::npos && text.size() - start >= begin.size() &&
        equalsIgnoringCase(text.substr(start, begin.size()), begin)) {
        return ContactFormat::VCard;
    }
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line.ends_with(',') ? ContactFormat::ListFile : ContactFormat::Csv;
}

ContactFormat contactFormatOfPath(const std::string &path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (equalsIgnoringCase(extension, ".vcf") || equalsIgnoringCase(extension, ".vcard")) {
        return ContactFormat::VCard;
    }
    return equalsIgnoringCase(extension, ".csv") ? ContactFormat::Csv : ContactFormat::ListFile;
}

std::string contactFileText(const RowList &phonebook, ContactFormat format) {
    switch (format) {
    case ContactFormat::VCard:
        return vCardText(phonebook);
    case ContactFormat::Csv:
        return csvText(phonebook);
    case ContactFormat::ListFile:
        break;
    }
    return listFileText(phonebook);
}

bool SaveContactFile(const std::string &path, const RowList &phonebook, UserPrompts &prompts,
                     const Texts &texts, Durability durability) {
    const ContactFormat format = contactFormatOfPath(path);
    if (format == ContactFormat::ListFile) {
        return SaveListFile(path, phonebook, prompts, texts, durability);
    }
    if (writeFileAtomically(path, contactFileText(phonebook, format), nullptr, durability)) {
        return true;
    }
    sayFileNotCreated(prompts, texts);
    return false;
}

} // namespace velnor
