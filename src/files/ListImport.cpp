#include "files/ListImport.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/TextIds.h"
#include "base/Utf8.h"
#include "codec/LegacyText.h"
#include "files/ContactFile.h"
#include "files/CsvLineParser.h"
#include "files/VCardReader.h"
#include "records/MessageCompose.h"
#include "records/PhonebookFit.h"

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

// The whole file, opened for reading only: a file the user may read but not change imports.
FileRead readWholeFile(const std::string &path, FileBytes &content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FileRead::CannotOpen;
    }
    struct stat info {};
    FileRead result = FileRead::Done;
    if (::fstat(fd, &info) != 0) {
        result = FileRead::CannotRead;
    } else if (S_ISDIR(info.st_mode)) {
        result = FileRead::CannotOpen; // opening it to write would have failed
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

// A file's text on its way into a list.
struct Source {
    TextReading reading;
    size_t fileBytes; // the size of the file
    size_t heldBytes; // the heap its text holds while rows are made
};

void startReport(ImportReport &report, const TextReading &reading) {
    report.overLengthRows.clear();
    report.overLengthFound = false;
    report.guessedCodePage = reading.guessed ? std::string(reading.codePage->name) : std::string();
}

// The heap a row of `width` cells takes besides the characters of long texts: its entry in the
// list and its cells' string objects.
constexpr size_t rowHeap(size_t width) {
    return sizeof(std::vector<std::string>) + sizeof(void *) + width * sizeof(std::string);
}

// Whether `rows` rows fit the budget. The cells' characters take at most what the text does.
bool withinBudget(const Source &source, size_t rows, size_t rowBytes) {
    const size_t needed = source.heldBytes + source.reading.text.size() + rows * rowBytes;
    return needed <= std::max(kImportHeapPerFileByte * source.fileBytes, kImportHeapFloor);
}

// Done with the number of field groups (the header's included) when the rows may be made: not
// for a file with text but no row, nor for one whose rows would need more than its budget.
ImportResult admit(const Source &source, size_t width, size_t rowBytes, size_t &groups) {
    groups = 0;
    if (source.fileBytes == 0) {
        return ImportResult::Done;
    }
    groups = rowsAtMost(source.reading.text, width);
    if (groups <= 1) {
        return ImportResult::NoRows;
    }
    return withinBudget(source, groups, rowBytes) ? ImportResult::Done : ImportResult::TooLarge;
}

// Texts in quotation marks, separated by ", ".
std::string quotedList(const std::vector<std::string> &texts) {
    std::string list;
    for (const std::string &text : texts) {
        list += (list.empty() ? "\"" : ", \"") + text + '"';
    }
    return list;
}

void noteTooLong(ImportReport &report, const std::string &rowNumber) {
    report.overLengthRows += rowNumber;
    report.overLengthRows += ',';
    report.overLengthFound = true;
}

// Appends the cells as a ticked row numbered after the others; the row is reported when a
// name or number of it does not keep on the card as it is.
void appendPhonebookRow(RowList &phonebook, std::vector<std::string> cells, const CardState &card,
                        ImportReport &report) {
    std::string rowNumber = std::to_string(phonebook.rowCount() + 1);
    cells.resize(std::max(cells.size(), size_t{1}));
    cells[column::No] = rowNumber;
    const size_t row = phonebook.appendRow(std::move(cells));
    const auto nameFits = [&](size_t column) {
        return nameFitsCard(phonebook.cell(row, column), card.alphaLength, card.ucs82Unsupported);
    };
    const auto numberFits = [&](size_t column) {
        return numberFitsCard(phonebook.cell(row, column));
    };
    if (!nameFits(column::Name) || !numberFits(column::Number) ||
        !numberFits(column::AdditionalNumber) || !nameFits(column::SecondName)) {
        noteTooLong(report, rowNumber);
    }
    phonebook.setChecked(row, true);
}

// The columns of a phonebook file: as many as its header line names when that is from the three
// of a classic file up to the list's own, else three.
size_t phonebookFileWidth(std::string_view text, size_t listWidth) {
    const std::string_view header = text.substr(0, text.find('\n'));
    const auto titles = static_cast<size_t>(std::ranges::count(header, ','));
    return titles >= kPhonebookWidth && titles <= listWidth ? titles : kPhonebookWidth;
}

ImportResult importListRows(const Source &source, RowList &phonebook, const CardState &card,
                            ImportReport &report) {
    const size_t width = phonebookFileWidth(source.reading.text, phonebook.columnCount());
    size_t groups = 0;
    const ImportResult admitted = admit(source, width, rowHeap(phonebook.columnCount()), groups);
    if (admitted != ImportResult::Done || groups == 0) {
        return admitted;
    }
    const size_t before = phonebook.rowCount();
    RowList::Batch hold(phonebook);
    phonebook.reserve(before + groups - 1);
    forEachRowGroup(source.reading.text, width, [&](size_t, std::vector<std::string> &group) {
        appendPhonebookRow(
            phonebook,
            {std::make_move_iterator(group.begin()), std::make_move_iterator(group.end())}, card,
            report);
    });
    return phonebook.rowCount() > before ? ImportResult::Done : ImportResult::NoRows;
}

// A contact's first number is its entry's number, its second the additional number, with its
// e-mail and second name beside them; each further number makes a row of its own with the
// contact's name, as the card has no other place for it. A contact without a number makes none
// and is reported. The rows are counted against the budget as they come, with the slack of the
// list's growth; past it, the rows made so far go again.
template <typename Reader>
ImportResult importContacts(Reader &reader, const Source &source, RowList &phonebook,
                            const CardState &card, ImportReport &report) {
    const size_t rowBytes =
        rowHeap(phonebook.columnCount()) + sizeof(std::vector<std::string>) + sizeof(void *);
    const size_t before = phonebook.rowCount();
    RowList::Batch hold(phonebook);
    Contact contact;
    while (reader.next(contact)) {
        if (!withinBudget(source, phonebook.rowCount() - before + contact.numbers.size(),
                          rowBytes)) {
            while (phonebook.rowCount() > before) {
                phonebook.removeRow(phonebook.rowCount() - 1);
            }
            report.overLengthRows.clear();
            report.overLengthFound = false;
            report.contactsWithoutNumber.clear();
            return ImportResult::TooLarge;
        }
        if (contact.numbers.empty()) {
            report.contactsWithoutNumber += report.contactsWithoutNumber.empty() ? "" : ", ";
            report.contactsWithoutNumber += quotedList({contact.name});
        }
        for (size_t first = 0; first < contact.numbers.size(); ++first) {
            std::vector<std::string> cells(column::SecondName + 1);
            cells[column::Name] = contact.name;
            cells[column::Number] = std::move(contact.numbers[first]);
            if (first == 0) {
                if (contact.numbers.size() > 1 &&
                    phonebook.columnCount() > column::AdditionalNumber) {
                    cells[column::AdditionalNumber] = std::move(contact.numbers[++first]);
                }
                cells[column::Email] = std::move(contact.email);
                cells[column::SecondName] = std::move(contact.secondName);
            }
            appendPhonebookRow(phonebook, std::move(cells), card, report);
        }
    }
    return phonebook.rowCount() > before ? ImportResult::Done : ImportResult::NoRows;
}

ImportResult importText(const Source &source, RowList &phonebook, const CardState &card,
                        ImportReport &report, const std::optional<CsvColumnChoice> &columns) {
    startReport(report, source.reading);
    report.contactsWithoutNumber.clear();
    report.columnsFound.clear();
    if (phonebook.columnCount() < kPhonebookWidth) {
        return ImportResult::NoRows;
    }
    if (source.fileBytes == 0) {
        return ImportResult::Done;
    }
    switch (contactFormatOfText(source.reading.text)) {
    case ContactFormat::VCard: {
        VCardReader reader(source.reading.text);
        return importContacts(reader, source, phonebook, card, report);
    }
    case ContactFormat::Csv: {
        CsvReader reader(source.reading.text, columns);
        if (reader.recognised()) {
            return importContacts(reader, source, phonebook, card, report);
        }
        Contact first;
        if (!reader.next(first)) {
            return ImportResult::NoRows;
        }
        report.columnsFound = reader.header();
        return ImportResult::UnknownColumns;
    }
    case ContactFormat::ListFile:
        break;
    }
    return importListRows(source, phonebook, card, report);
}

ImportResult importText(const Source &source, MessageList &messages, const CardState &card,
                        ImportReport &report, const std::optional<CsvColumnChoice> &) {
    startReport(report, source.reading);
    const size_t width = messages.rows().columnCount();
    size_t groups = 0;
    const ImportResult admitted =
        width < kMessageWidth ? ImportResult::NoRows
                              : admit(source, width, rowHeap(width) + sizeof(MessageImage), groups);
    if (admitted != ImportResult::Done || groups == 0) {
        return admitted;
    }
    const size_t before = messages.size();
    RowList::Batch hold(messages.rows());
    messages.reserve(before + groups - 1);
    forEachRowGroup(source.reading.text, width, [&](size_t k, std::vector<std::string> &group) {
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
    return messages.size() > before ? ImportResult::Done : ImportResult::NoRows;
}

template <typename List>
ImportResult importBytes(std::string_view bytes, List &list, const CardState &card,
                         ImportReport &report, const CodePage *codePage,
                         const std::optional<CsvColumnChoice> &columns) {
    std::string converted;
    const TextReading reading = readText(bytes, converted, codePage);
    return importText({reading, bytes.size(), bytes.size() + converted.size()}, list, card, report,
                      columns);
}

// The file's bytes go as soon as their text is converted: only one of the two is held while the
// rows are made.
template <typename List>
ImportResult importFileBytes(FileBytes &content, List &list, const CardState &card,
                             ImportReport &report, const CodePage *codePage,
                             const std::optional<CsvColumnChoice> &columns) {
    std::string converted;
    const TextReading reading = readText(content.view(), converted, codePage);
    const size_t fileBytes = content.size;
    if (!converted.empty()) {
        content = FileBytes{};
    }
    return importText({reading, fileBytes, content.size + converted.size()}, list, card, report,
                      columns);
}

template <typename List>
bool importFile(const std::string &path, List &list, const CardState &card, ImportReport &report,
                UserPrompts &prompts, const Texts &texts, const CodePage *codePage,
                const std::optional<CsvColumnChoice> &columns) {
    try {
        FileBytes content;
        switch (readWholeFile(path, content)) {
        case FileRead::CannotOpen:
            prompts.showMessage(MessageKind::Information,
                                {text::FileNotOpened, texts.get(text::FileCaption),
                                 texts.get(text::FileNotOpened)});
            return false;
        case FileRead::CannotRead:
            return false;
        case FileRead::TooLarge:
            break;
        case FileRead::Done:
            switch (importFileBytes(content, list, card, report, codePage, columns)) {
            case ImportResult::Done:
                return true;
            case ImportResult::NoRows:
                prompts.showMessage(MessageKind::Error,
                                    {text::NoRowsImported, texts.get(text::FileCaption),
                                     texts.get(text::NoRowsImported)});
                return false;
            case ImportResult::UnknownColumns:
                prompts.showMessage(
                    MessageKind::Error,
                    {text::CsvColumnsUnknown, texts.get(text::FileCaption),
                     texts.format(text::CsvColumnsUnknown, {quotedList(report.columnsFound)})});
                return false;
            case ImportResult::TooLarge:
                break;
            }
            break;
        }
    } catch (const std::bad_alloc &) {
    }
    prompts.showMessage(MessageKind::Error, {text::FileTooLarge, texts.get(text::FileCaption),
                                             texts.get(text::FileTooLarge)});
    return false;
}

} // namespace

ImportResult importListText(std::string_view bytes, RowList &phonebook, const CardState &card,
                            ImportReport &report, const CodePage *codePage,
                            const std::optional<CsvColumnChoice> &columns) {
    return importBytes(bytes, phonebook, card, report, codePage, columns);
}

ImportResult importListText(std::string_view bytes, MessageList &messages, const CardState &card,
                            ImportReport &report, const CodePage *codePage) {
    return importBytes(bytes, messages, card, report, codePage, std::nullopt);
}

bool ImportListFile(const std::string &path, RowList &phonebook, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts,
                    const CodePage *codePage, const std::optional<CsvColumnChoice> &columns) {
    return importFile(path, phonebook, card, report, prompts, texts, codePage, columns);
}

bool ImportListFile(const std::string &path, MessageList &messages, const CardState &card,
                    ImportReport &report, UserPrompts &prompts, const Texts &texts,
                    const CodePage *codePage) {
    return importFile(path, messages, card, report, prompts, texts, codePage, std::nullopt);
}

} // namespace velnor
