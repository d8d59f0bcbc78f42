#include "files/ListImport.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "codec/CMyTools.h"
#include "base/Utf8.h"
#include "files/CsvLineParser.h"
#include "files/LegacyText.h"
#include "sim/MessageCompose.h"
#include "sim/PhonebookRecord.h"

namespace velnor {

namespace {

constexpr size_t kPhonebookWidth = 3;
constexpr size_t kMessageWidth = 5;

enum class FileRead { Done, CannotOpen, CannotRead, TooLarge };

// The whole file; opened for writing too, so that a file the user may not change is refused
// as it always was.
FileRead readWholeFile(const std::string &path, std::string &content) {
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
        content.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (done < content.size()) {
            const ssize_t got = ::read(fd, content.data() + done, content.size() - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                result = FileRead::CannotRead;
                break;
            }
            if (got == 0) {
                content.resize(done); // the file shrank while it was read
                break;
            }
            done += static_cast<size_t>(got);
        }
    }
    ::close(fd);
    return result;
}

// The text ends at the first zero byte; a legacy code page becomes UTF-8.
std::string preparedText(std::string text) {
    const size_t zero = text.find('\0');
    if (zero != std::string::npos) {
        text.resize(zero);
    }
    if (isUtf8Text(text)) {
        return text;
    }
    return convertToUtf8(text, detectTextEncoding(text));
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

void startReport(ImportReport &report) {
    report.overLengthRows.clear();
    report.overLengthFound = false;
}

void noteTooLong(ImportReport &report, const std::string &rowNumber) {
    report.overLengthRows += rowNumber;
    report.overLengthRows += ',';
    report.overLengthFound = true;
}

size_t utf16Length(std::string_view text) {
    size_t units = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        units += nextCodePoint(text, pos) > 0xFFFF ? 2 : 1;
    }
    return units;
}

template <typename List>
bool importFile(const std::string &path, List &list, const CardState &card, ImportReport &report,
                UserPrompts &prompts, const Texts &texts) {
    try {
        std::string content;
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
        importListText(std::move(content), list, card, report);
        return true;
    } catch (const std::bad_alloc &) {
        prompts.showMessage(MessageKind::Error, {9004, texts.get(8053), texts.get(9004)});
        return false;
    }
}

} // namespace

MessageTextFit fitMessageText(const std::string &number, const std::string &text,
                              uint32_t maxMessageLength) {
    const long long maximum = maxMessageLength;
    const long long numberHalf = static_cast<long long>((legacyByteLength(number) + 1) / 2);
    if (CMyTools::IsDBString(text)) {
        const long long limit = (maximum - numberHalf) / 2 - 1;
        if (static_cast<long long>(utf16Length(text)) > limit) {
            const size_t keep = maxMessageLength >= 2 ? maxMessageLength - 2 : 0;
            return {cutToLegacyBytes(text, keep), true};
        }
        return {text, false};
    }
    if (legacyByteLength(text) + CountGsmExtensionChars(text) > maxMessageLength) {
        return {cutToLegacyBytes(text, maxMessageLength), true};
    }
    return {text, false};
}

void importListText(std::string text, RowList &phonebook, const CardState &card,
                    ImportReport &report) {
    const std::string utf8 = preparedText(std::move(text));
    startReport(report);
    const size_t width = phonebook.columnCount();
    if (width < kPhonebookWidth) {
        return;
    }
    const size_t before = phonebook.rowCount();
    RowList::Batch hold(phonebook);
    forEachRowGroup(utf8, width, [&](size_t k, std::vector<std::string> &group) {
        std::string rowNumber = std::to_string(before + k);
        if (!nameFitsCard(group[1], card.alphaLength, card.ucs82Unsupported)) {
            noteTooLong(report, rowNumber);
        }
        const size_t row =
            phonebook.appendRow({std::move(rowNumber), std::move(group[1]), std::move(group[2])});
        phonebook.setChecked(row, true);
    });
}

void importListText(std::string text, MessageList &messages, const CardState &card,
                    ImportReport &report) {
    const std::string utf8 = preparedText(std::move(text));
    startReport(report);
    const size_t width = messages.rows().columnCount();
    if (width < kMessageWidth) {
        return;
    }
    const size_t before = messages.size();
    RowList::Batch hold(messages.rows());
    forEachRowGroup(utf8, width, [&](size_t k, std::vector<std::string> &group) {
        std::string rowNumber = std::to_string(before + k);
        const MessageTextFit fit = fitMessageText(group[2], group[4], card.maxMessageLength);
        if (fit.tooLong) {
            noteTooLong(report, rowNumber);
        }
        // The list keeps the file's text; only the card's image gets the text that fits.
        const MessageImage image = composeMessageImage(group[2], fit.text, card);
        messages.append({std::move(rowNumber), std::move(group[1]), std::move(group[2]),
                         std::move(group[3]), std::move(group[4])},
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
