#include "widgets/SortOrder.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <cctype>
#include <numeric>
#include <optional>

#include "widgets/ListHeadings.h"

namespace velnor {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The number at [at, at + length) of a text, read as atoi reads it; 0 past its end.
int fieldAt(std::string_view text, size_t at, size_t length) {
    return at < text.size() ? leadingInt(text.substr(at, length)) : 0;
}

// What a comparison needs of one cell, worked out once per row.
struct CellKey {
    CellKind kind = CellKind::Text;
    int number = 0;
    int year = 0;
    int month = 0;
    int day = 0;
};

CellKey keyOf(std::string_view text) {
    return {cellKind(text), leadingInt(text), fieldAt(text, 6, 4), fieldAt(text, 3, 2),
            fieldAt(text, 0, 2)};
}

template <typename T> int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Numbers and dates; texts are the caller's to compare.
int compareKeys(const CellKey &x, const CellKey &y) {
    if (x.kind == CellKind::Number) {
        return threeWay(x.number, y.number);
    }
    if (x.year != y.year) {
        return threeWay(x.year, y.year);
    }
    return x.month != y.month ? threeWay(x.month, y.month) : threeWay(x.day, y.day);
}

QCollator textCollator() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

} // namespace

CellKind cellKind(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), isDigit)) {
        return CellKind::Number;
    }
    if (text.size() == 10 && text[2] == '/' && text[5] == '/') {
        bool digits = true;
        for (const size_t at : {0, 1, 3, 4, 6, 7, 8, 9}) {
            digits = digits && isDigit(text[at]);
        }
        if (digits) {
            return CellKind::Date;
        }
    }
    return CellKind::Text;
}

std::vector<size_t> sortOrder(const RowList &list, size_t column, bool ascending) {
    const size_t rows = list.rowCount();
    std::vector<CellKey> keys;
    keys.reserve(rows);
    bool anyText = false;
    for (size_t row = 0; row < rows; ++row) {
        keys.push_back(keyOf(list.cell(row, column)));
        anyText = anyText || keys.back().kind == CellKind::Text;
    }
    // Collation keys make the locale's comparison a byte comparison; only texts need them.
    std::vector<QCollatorSortKey> textKeys;
    if (anyText) {
        const QCollator collator = textCollator();
        textKeys.reserve(rows);
        for (size_t row = 0; row < rows; ++row) {
            textKeys.push_back(collator.sortKey(QString::fromStdString(list.cell(row, column))));
        }
    }
    auto compare = [&](size_t a, size_t b) {
        if (keys[a].kind != CellKind::Text) {
            return compareKeys(keys[a], keys[b]);
        }
        return threeWay(textKeys[a].compare(textKeys[b]), 0);
    };
    std::vector<size_t> order(rows);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return ascending ? compare(a, b) < 0 : compare(b, a) < 0;
    });
    return order;
}

} // namespace velnor
