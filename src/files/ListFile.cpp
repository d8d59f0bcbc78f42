#include "files/ListFile.h"

#include "base/AtomicFile.h"
#include "base/TextIds.h"

namespace velnor {

namespace {

// Builds the file in pieces of about this size, so that a large list is never held twice.
constexpr size_t kPieceSize = 256 * 1024;

// A quotation mark in a cell is written as three, the escaped quote the field parser reads back
// as one: written as it stands, one followed by a comma would end the cell there, and the rest
// of a name or message would be lost on the way back in.
void appendEscaped(std::string &piece, const std::string &cell) {
    size_t from = 0;
    for (size_t quote = cell.find('"'); quote != std::string::npos; quote = cell.find('"', from)) {
        piece.append(cell, from, quote - from);
        piece += "\"\"\"";
        from = quote + 1;
    }
    piece.append(cell, from, std::string::npos);
}

// Hands the bytes of the list file to `emit` in pieces; stops when emit returns false.
template <typename Emit> bool emitListFile(const RowList &list, Emit emit) {
    std::string piece;
    piece.reserve(kPieceSize + 1024);
    const size_t columns = list.columnsInUse();
    for (size_t column = 0; column < columns; ++column) {
        piece += list.titles()[column];
        piece += ',';
    }
    piece += "\r\n";
    for (size_t row = 0; row < list.rowCount(); ++row) {
        for (size_t column = 0; column < columns; ++column) {
            piece += '"';
            appendEscaped(piece, list.cell(row, column));
            piece += "\",";
        }
        piece += "\r\n";
        if (piece.size() >= kPieceSize) {
            if (!emit(piece)) {
                return false;
            }
            piece.clear();
        }
    }
    return emit(piece);
}

} // namespace

std::string listFileText(const RowList &list) {
    std::string text;
    emitListFile(list, [&text](const std::string &piece) {
        text += piece;
        return true;
    });
    return text;
}

void sayFileNotCreated(UserPrompts &prompts, const Texts &texts) {
    prompts.showMessage(
        MessageKind::Information,
        {text::FileNotCreated, texts.get(text::FileCaption), texts.get(text::FileNotCreated)});
}

bool SaveListFile(const std::string &path, const RowList &list, UserPrompts &prompts,
                  const Texts &texts, Durability durability) {
    const auto produce = [&list](const PieceWriter &write) {
        return emitListFile(list, [&write](const std::string &piece) { return write(piece); });
    };
    if (writeFileAtomically(path, produce, nullptr, durability)) {
        return true;
    }
    sayFileNotCreated(prompts, texts);
    return false;
}

} // namespace velnor
