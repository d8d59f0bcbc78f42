#pragma once

// The formats a phonebook comes in and goes out in: the list file, vCard and CSV. A file read
// is told by its content, whatever it is called; a file written takes the format its name's
// extension names.

#include <string>
#include <string_view>

#include "base/AtomicFile.h"
#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "records/RowList.h"

namespace velnor {

enum class ContactFormat { ListFile, VCard, Csv };

// A text that begins with BEGIN:VCARD is a vCard file; one whose first line ends in a comma, as
// every list file's header does, a list file; any other a CSV file.
ContactFormat contactFormatOfText(std::string_view text);

// ".vcf" and ".vcard" name vCard, ".csv" CSV, in any case; every other name the list file.
ContactFormat contactFormatOfPath(const std::string &path);

// The phonebook's bytes in a format.
std::string contactFileText(const RowList &phonebook, ContactFormat format);

// Writes the phonebook to path in the format its extension names, as SaveListFile does.
bool SaveContactFile(const std::string &path, const RowList &phonebook, UserPrompts &prompts,
                     const Texts &texts, Durability durability = Durability::Synced);

} // namespace velnor
