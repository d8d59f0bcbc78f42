#pragma once

// Contacts from CSV files (RFC 4180) as address books, mail programs and spreadsheets export
// them: quoted fields with doubled quotation marks, separators and line breaks inside quotes,
// records ending in CR LF or LF. The separator is the one of comma, semicolon and tab that the
// header line holds most. The header names the columns: "Name", or "First Name", "Middle Name"
// and "Last Name" (also as "Given Name", "Additional Name", "Family Name"), and the numbers in
// "Number", "Phone", "Mobile Phone", "Business Phone", "Home Phone" and "Phone 1 - Value",
// "Phone 2 - Value" and so on, where one field may hold several numbers joined by " ::: ", and
// "Additional Number". An "E-mail" or "Email" column (also "E-mail Address", "E-mail 1 - Value")
// gives the e-mail, a "Nickname" or "Second Name" column the second name.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Contact.h"

namespace velnor {

// The columns of the name and of the number, counted from 0, as a user chose them.
struct CsvColumnChoice {
    size_t name = 0;
    size_t number = 0;
};

class CsvReader {
public:
    // Reads the header; with a choice, its columns are taken instead of the header's names.
    explicit CsvReader(std::string_view text, const std::optional<CsvColumnChoice> &choice = {});

    // Whether the columns give a name and a number.
    bool recognised() const { return !numbers_.empty() && (fullName_ || !nameParts_.empty()); }
    const std::vector<std::string> &header() const { return header_; }

    // The next record's contact: the name, else the name parts joined by blanks, every number,
    // a mobile one first, the e-mail and the second name. Records with every field empty are passed
    // over. False at the end.
    bool next(Contact &contact);

private:
    struct NumberColumn {
        size_t index;
        int rank;                    // lower first
        std::optional<size_t> label; // the column that may call this one "Mobile"
    };

    bool nextRecord(std::vector<std::string> &fields);
    void matchHeader();

    std::string_view text_;
    size_t pos_ = 0;
    char separator_ = ',';
    std::vector<std::string> header_;
    std::optional<size_t> fullName_;
    std::vector<size_t> nameParts_; // in the order the name is written
    std::vector<NumberColumn> numbers_;
    std::optional<size_t> email_;
    std::optional<size_t> secondName_;
    std::vector<std::string> fields_;
};

} // namespace velnor
