#include <gtest/gtest.h>

#include "files/ContactFile.h"
#include "files/ListFile.h"
#include "files/ListImport.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Each row's cells from the name on, without the empty ones at its end.
Rows entries(const RowList &list) {
    Rows rows;
    for (size_t row = 0; row < list.rowCount(); ++row) {
        std::vector<std::string> cells(list.rowCells(row).begin() + 1, list.rowCells(row).end());
        while (cells.size() > 2 && cells.back().empty()) {
            cells.pop_back();
        }
        rows.push_back(cells);
    }
    return rows;
}

// Each file gives its rows, its contacts without a number and, for columns it does not know,
// the columns found. The rows, saved as a list file and read back, then written as vCard and as
// CSV, read back the same; where the vector gives the written bytes, they are those.
TEST(ContactFormats, FilesGiveTheirRowsAndTheRowsRoundTrip) {
    const char *const results[] = {"Done", "NoRows", "TooLarge", "UnknownColumns"};
    CardState card;
    card.alphaLength = 100;
    for (const test::json &v : test::loadVectors("files/contacts.json")) {
        SCOPED_TRACE(v.dump().substr(0, 200));
        std::optional<CsvColumnChoice> choice;
        if (v.contains("choice")) {
            choice = CsvColumnChoice{v["choice"][0], v["choice"][1]};
        }
        RowList read({"No.", "Name", "Number", "E-mail", "Additional number", "Second name"});
        read.setFixedColumns(3);
        ImportReport report;
        const ImportResult result =
            importListText(test::textOf(v.at("file")), read, card, report, nullptr, choice);
        EXPECT_EQ(results[static_cast<int>(result)], v.value("result", "Done"));
        EXPECT_EQ(entries(read), v.at("rows").get<Rows>());
        EXPECT_EQ(report.contactsWithoutNumber, v.value("without", ""));
        EXPECT_EQ(report.columnsFound, v.value("columns", std::vector<std::string>()));

        RowList fromListFile(read.titles());
        fromListFile.setFixedColumns(3);
        importListText(listFileText(read), fromListFile, card, report);
        for (const auto &[format, key] :
             {std::pair(ContactFormat::VCard, "vcard"), std::pair(ContactFormat::Csv, "csv")}) {
            const std::string written = contactFileText(fromListFile, format);
            if (v.contains(key)) {
                EXPECT_EQ(written, v[key].get<std::string>());
            }
            RowList back(read.titles());
            back.setFixedColumns(3);
            importListText(written, back, card, report);
            EXPECT_EQ(listFileText(back), listFileText(read)) << key;
        }
    }
}

} // namespace
} // namespace velnor
