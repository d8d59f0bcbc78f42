#include "files/ListImport.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/LegacyText.h"
#include "base/Utf8.h"
#include "files/CsvLineParser.h"
#include "sim/MessageCompose.h"
#include "sim/PhonebookRecord.h"

namespace velnor {

namespace {

constexpr size_t kPhonebookWidth = 3;
constexpr size_t kMessageWidth = 5;

enum class FileRead { Done, CannotOpen, CannotRead, TooLarge };

// A file's bytes, not zeroed first: they are read over at once.
struct FileBytes {
    std::unique_ptr<char[]> data;
    size_t size = 0;

    std::string_view view() const { return {data.get(), size}; }
};

// The whole file; opened for writing too, so that a file the user may not change is refused
// as it always was.
FileRead readWholeFile(const std::string &path, FileBytes &content) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return FileRead::CannotOpen;
    }
    struct stat info {};
    FileRead result = FileRead::Done;
    if (::fstat(fd, &info) != 0) {
        result = FileRead::CannotRead;
    } else if (static_cast<uintmax_t>(info.st_size) > kMaxListFileSize) {
        result = FileRead::TooLarge;
    } else {
        const size_t size = static_cast<size_t>(info.st_size);
        content.data = std::make_unique_for_overwrite<char[]>(size);
        while (content.size < size) {
            const ssize_t got = ::read(fd, content.data.get() + content.size, size - content.size);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                result = FileRead::CannotRead;
                break;
            }
            if (got == 0) {
                break; // the file shrank while it was read
            }
            content.size += static_cast<size_t>(got);
        }
    }
    ::close(fd);
    return result;
}

// The text ends at the first zero byte; a legacy code page becomes UTF-8, kept in `converted`.
std::string_view preparedText(std::string_view bytes, std::string &converted) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (isValidUtf8(bytes)) {
        return bytes;
    }
    converted = convertToUtf8(bytes, detectTextEncoding(bytes));
    return converted;
}

// Calls sink(k, group) for every complete group k >= 1 of width fields; group 0 is the header.
template <typename Sink> void forEachRowGroup(std::string_view text, size_t width, Sink sink) {
    CsvFieldCursor cursor(text);
    std::vector<std::string> group(width);
    size_t filled = 0;
    size_t k = 0;
    while (cursor.next(group[filled])) {
        if (++filled < width) {
            continue;
        }
        filled = 0;
        if (k > 0) {
            sink(k, group);
        }
        ++k;
    }
}

// Every field but the last ends in a delimiter, which holds a comma: an upper bound of the rows
// a text makes, exact for a list file.
size_t rowsAtMost(std::string_view text, size_t width) {
    const size_t fields = static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1;
    return fields / width;
}

// The cells of a row, moved rather than copied: a braced list would copy every text.
std::vector<std::string> movedCells(std::initializer_list<std::string *> texts) {
    std::vector<std::string> cells;
    cells.reserve(texts.size());
    for (std::string *text : texts) {
        cells.push_back(std::move(*text));
    }
    return cells;
}

void startReport(ImportReport &report) {
    report.overLengthRows.clear();
    report.overLengthFound = false;
}

void noteTooLong(ImportReport &report, const std::string &rowNumber) {
    report.overLengthRows += rowNumber;
    report.overLengthRows += ',';
    report.overLengthFound = true;
}

template <typename List>
bool importFile(const std::string &path, List &list, const CardState &card, ImportReport &report,
                UserPrompts &prompts, const Texts &texts) {
    try {
        FileBytes content;
        switch (readWholeFile(path, content)) {
        case FileRead::CannotOpen:
            prompts.showMessage(MessageKind::Information, {8054, texts.get(8053), texts.get(8054)});
            return false;
        case FileRead::CannotRead:
            return false;
        case FileRead::TooLarge:
            prompts.showMessage(MessageKind::Error, {9004, texts.get(8053), texts.get(9004)});
            return false;
        case FileRead::Done:
            break;
        }
        importListText(content.view(), list, card, report);
        return true;
    } catch (const std::bad_alloc &) {
        prompts.showMessage(MessageKind::Error, {9004, texts.get(8053), texts.get(9004)});
        return false;
    }
}

} // namespace

void importListText(std::string_view bytes, RowList &phonebook, const CardState &card,
                    ImportReport &report) {
    std::string converted;
    const std::string_view utf8 = preparedText(bytes, converted);
    startReport(report);
    const size_t width = phonebook.columnCount();
    if (width < kPhonebookWidth) {
        return;
    }
    const size_t before = phonebook.rowCount();
    RowList::Batch hold(phonebook);
    phonebook.reserve(before + rowsAtMost(utf8, width));
    forEachRowGroup(utf8, width, [&](size_t k, std::vector<std::string> &group) {
        std::string rowNumber = std::to_string(before + k);
        if (!nameFitsCard(group[1], card.alphaLength, card.ucs82Unsupported) ||
            !numberFitsCard(group[2])) {
            noteTooLong(report, rowNumber);
        }
        const size_t row = phonebook.appendRow(movedCells({&rowNumber, &group[1], &group[2]}));
        phonebook.setChecked(row, true);
    });
}

void importListText(std::string_view bytes, MessageList &messages, const CardState &card,
                    ImportReport &report) {
    std::string converted;
    const std::string_view utf8 = preparedText(bytes, converted);
    startReport(report);
    const size_t width = messages.rows().columnCount();
    if (width < kMessageWidth) {
        return;
    }
    const size_t before = messages.size();
    RowList::Batch hold(messages.rows());
    forEachRowGroup(utf8, width, [&](size_t k, std::vector<std::string> &group) {
        std::string rowNumber = std::to_string(before + k);
        const bool fits = messageTextUsage(group[2], group[4], card).fits();
        if (!fits || !numberFitsCard(group[2])) {
            noteTooLong(report, rowNumber);
        }
        // The list keeps the file's text; only the card's image gets the text that fits.
        const MessageImage image = composeMessageImage(
            group[2], fits ? group[4] : fittingInsertion({}, group[4], {}, group[2], card), card);
        messages.append(movedCells({&rowNumber, &group[1], &group[2], &group[3], &group[4]}),
                        image);
        messages.rows().setChecked(messages.size() - 1, true);
    });
}

bool ImportListFile(const std::string &path, RowList &phonebook, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts) {
    return importFile(path, phonebook, card, report, prompts, texts);
}

bool ImportListFile(const std::string &path, MessageList &messages, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts) {
    return importFile(path, messages, card, report, prompts, texts);
}

} // namespace velnor
