#include "transfer/PhonebookTransfer.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "base/TextIds.h"
#include "records/MessageStore.h"

namespace velnor {

namespace {

// Two entries are the same when every cell after the No. is equal byte for byte: name and
// number, and the fields a USIM keeps besides them.
std::string entryKey(const RowList &list, size_t row) {
    std::string key;
    for (size_t column = column::Name; column < list.columnCount(); ++column) {
        key += list.cell(row, column);
        key += '\0';
    }
    return key;
}

std::unordered_set<std::string> entryKeys(const RowList &list) {
    std::unordered_set<std::string> keys;
    keys.reserve(list.rowCount());
    for (size_t row = 0; row < list.rowCount(); ++row) {
        keys.insert(entryKey(list, row));
    }
    return keys;
}

// The row with every field it has, numbered after the rows of `to`.
size_t appendEntry(RowList &to, const RowList &from, size_t row) {
    std::vector<std::string> cells = from.rowCells(row);
    if (!cells.empty()) {
        cells[column::No] = std::to_string(to.rowCount() + 1);
    }
    return to.appendRow(std::move(cells));
}

} // namespace

std::vector<std::string> phonebookRowCells(std::string number, const PhoneEntry &entry) {
    return {std::move(number),      entry.name,      entry.number, entry.email,
            entry.additionalNumber, entry.secondName};
}

PhoneEntry phoneEntryOfRow(const RowList &list, size_t row) {
    return {list.cell(row, column::Name), list.cell(row, column::Number),
            list.cell(row, column::Email), list.cell(row, column::AdditionalNumber),
            list.cell(row, column::SecondName)};
}

void moveFromCardList(Session &session, StatusLine &status, bool everyRow) {
    RowList &card = session.cardPhonebook;
    RowList &local = session.localPhonebook;
    std::unordered_set<std::string> known = entryKeys(local);
    size_t taken = 0;
    size_t skipped = 0;
    {
        RowList::Batch holdLocal(local);
        RowList::Batch holdCard(card);
        std::vector<bool> leaving(card.rowCount(), false);
        for (size_t row = 0; row < card.rowCount(); ++row) {
            if (!everyRow && !card.isChecked(row)) {
                continue;
            }
            ++taken;
            leaving[row] = true;
            if (known.insert(entryKey(card, row)).second) {
                local.setChecked(appendEntry(local, card, row), true);
            } else {
                ++skipped;
            }
        }
        for (size_t row = 0; row < card.rowCount(); ++row) {
            card.setChecked(row, leaving[row]);
        }
        card.removeChecked();
    }
    status.showProgress(text::EntriesTaken, static_cast<uint16_t>(taken),
                        static_cast<uint16_t>(skipped));
}

void copyToCardList(Session &session, StatusLine &status) {
    RowList &card = session.cardPhonebook;
    const RowList &local = session.localPhonebook;
    std::unordered_set<std::string> known = entryKeys(card);
    size_t ticked = 0;
    size_t skipped = 0;
    {
        RowList::Batch holdCard(card);
        for (size_t row = 0; row < local.rowCount(); ++row) {
            if (!local.isChecked(row)) {
                continue;
            }
            ++ticked;
            if (known.insert(entryKey(local, row)).second) {
                appendEntry(card, local, row);
            } else {
                ++skipped;
            }
        }
    }
    session.activePhonebook.setLocal(false);
    status.showProgress(text::EntriesTaken, static_cast<uint16_t>(ticked),
                        static_cast<uint16_t>(skipped));
}

} // namespace velnor
