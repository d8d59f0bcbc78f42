// Importing any file as a phonebook or message list. The first byte chooses the list (bit 0),
// a card without the 0x82 coding (bit 1), a CDMA card with short records of 176 bytes (bit 2)
// and the alpha length (bits 3-7);
// the rest is the file. The file goes through the file system like a real one. Whatever it
// holds, the import either adds rows or refuses the file with its reason and adds nothing; every
// cell is valid UTF-8, the rows are numbered from 1, the message list keeps one record image per
// row, and the report names only imported rows.

#include "base/TextIds.h"
#include "base/Utf8.h"
#include "files/ListImport.h"

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace velnor;

class SilentPrompts : public UserPrompts {
public:
    bool askYesNo(const Prompt &) override { return false; }
    // Only a file without rows, one whose rows would need too much memory, or a CSV file whose
    // columns are none known, is refused.
    void showMessage(MessageKind, const Prompt &prompt) override {
        if (prompt.id != text::NoRowsImported && prompt.id != text::FileTooLarge &&
            prompt.id != text::CsvColumnsUnknown) {
            std::abort();
        }
        refused = true;
    }
    std::optional<std::string> chooseOpenFile(const FileChoice &) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileChoice &) override { return {}; }
    std::optional<CodeAnswer> askCodes(const CodeRequest &) override { return {}; }

    bool refused = false;
};

class NoTexts : public Texts {
public:
    const char *find(int) const override { return nullptr; }
};

void checkRows(const RowList &list, const ImportReport &report) {
    for (size_t row = 0; row < list.rowCount(); ++row) {
        if (list.cell(row, 0) != std::to_string(row + 1) || !list.isChecked(row)) {
            std::abort();
        }
        for (const std::string &cell : list.rowCells(row)) {
            if (!isValidUtf8(cell)) {
                std::abort();
            }
        }
    }
    size_t reported = 0;
    size_t start = 0;
    for (size_t comma; (comma = report.overLengthRows.find(',', start)) != std::string::npos;
         start = comma + 1) {
        const unsigned long row = std::strtoul(report.overLengthRows.c_str() + start, nullptr, 10);
        if (row == 0 || row > list.rowCount()) {
            std::abort();
        }
        ++reported;
    }
    if (report.overLengthFound != (reported > 0) || start != report.overLengthRows.size()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int fd = memfd_create("import", 0);
    if (fd < 0 || ::write(fd, data + 1, size - 1) != static_cast<ssize_t>(size - 1)) {
        std::abort();
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    CardState card;
    card.ucs82Unsupported = (data[0] & 2) != 0;
    card.isCdmaCard = (data[0] & 4) != 0;
    card.messageRecordLength = card.isCdmaCard ? 176 : 0;
    card.alphaLength = data[0] >> 3;
    SilentPrompts prompts;
    NoTexts texts;
    ImportReport report;
    if ((data[0] & 1) == 0) {
        RowList phonebook({"No.", "Name", "Number"});
        const bool imported = ImportListFile(path, phonebook, card, report, prompts, texts);
        if (imported == prompts.refused || imported == (phonebook.rowCount() == 0 && size > 1)) {
            std::abort();
        }
        checkRows(phonebook, report);
    } else {
        MessageList messages({"No.", "Status", "Number", "Time", "Text"});
        const bool imported = ImportListFile(path, messages, card, report, prompts, texts);
        if (imported == prompts.refused || imported == (messages.size() == 0 && size > 1) ||
            messages.size() != messages.rows().rowCount()) {
            std::abort();
        }
        checkRows(messages.rows(), report);
    }
    ::close(fd);
    return 0;
}
