#include "files/ListFile.h"

#include "base/AtomicFile.h"

namespace velnor {

std::string listFileText(const RowList &list) {
    size_t size = 2;
    for (const std::string &title : list.titles()) {
        size += title.size() + 1;
    }
    for (size_t row = 0; row < list.rowCount(); ++row) {
        for (const std::string &cell : list.rowCells(row)) {
            size += cell.size() + 3;
        }
        size += 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string &title : list.titles()) {
        text += title;
        text += ',';
    }
    text += "\r\n";
    for (size_t row = 0; row < list.rowCount(); ++row) {
        for (const std::string &cell : list.rowCells(row)) {
            text += '"';
            text += cell;
            text += "\",";
        }
        text += "\r\n";
    }
    return text;
}

bool SaveListFile(const std::string &path, const RowList &list, UserPrompts &prompts,
                  const Texts &texts, Durability durability) {
    if (writeFileAtomically(path, listFileText(list), nullptr, durability)) {
        return true;
    }
    prompts.showMessage(MessageKind::Information, {8055, texts.get(8053), texts.get(8055)});
    return false;
}

} // namespace velnor
