#include <gtest/gtest.h>

#include <algorithm>

#include "records/MessageStore.h"
#include "records/RowList.h"
#include "support/RowColumns.h"

namespace velnor::test {
namespace {

using Strings = std::vector<std::string>;

RowList phonebook(std::initializer_list<const char *> names) {
    RowList list({"No.", "Name", "Number"});
    for (const char *name : names) {
        list.appendRow({std::to_string(list.rowCount() + 1), name, "1"});
    }
    return list;
}

// The second byte of each stored image, which the test sets to the row's text.
std::string tags(const MessageList &messages) {
    std::string text;
    for (const MessageImage &image : messages.store()) {
        text += static_cast<char>(image[1]);
    }
    return text;
}

TEST(RowList, SwapAndRemovalKeepTheNumbersAndMoveTheTicks) {
    RowList list = phonebook({"a", "b", "c", "d", "e"});
    list.setChecked(0, true);
    list.setSelected(0, true);
    EXPECT_TRUE(list.swapRows(0, 1));
    EXPECT_EQ(column(list, 0), (Strings{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(column(list, 1), (Strings{"b", "a", "c", "d", "e"}));
    EXPECT_FALSE(list.isChecked(0));
    EXPECT_TRUE(list.isChecked(1));
    EXPECT_EQ(list.firstSelected(), 1u);
    EXPECT_FALSE(list.swapRows(4, 5));
    EXPECT_FALSE(list.swapRows(1, 1));

    list.setChecked(2, true);
    list.setChecked(4, true);
    EXPECT_EQ(list.removeChecked(), 3u);
    EXPECT_EQ(column(list, 0), (Strings{"1", "2"}));
    EXPECT_EQ(column(list, 1), (Strings{"b", "d"}));
    EXPECT_TRUE(phonebook({}).allChecked());

    // Missing cells are empty, cells beyond the columns dropped.
    list.appendRow({"3", "only a name"});
    list.appendRow({"4", "n", "1", "extra"});
    EXPECT_EQ(list.cell(2, 2), "");
    EXPECT_EQ(list.rowCells(3).size(), 3u);
}

// Whether a column has a text is counted as rows change; the counts agree with the rows after
// every kind of change, and decide which optional columns are in use.
TEST(RowList, FilledColumnsFollowEveryChange) {
    RowList list({"No.", "Name", "Number", "E-mail", "Additional", "Second"});
    list.setFixedColumns(3);
    const auto check = [&list](size_t inUse) {
        for (size_t c = 0; c < list.columnCount(); ++c) {
            const Strings cells = column(list, c);
            EXPECT_EQ(list.columnFilled(c),
                      std::ranges::any_of(cells, [](auto &t) { return !t.empty(); }))
                << c;
        }
        EXPECT_EQ(list.columnsInUse(), inUse);
    };
    list.appendRow({"", "a", "1", "", "", "x"});
    list.insertRow(0, {"", "b", "2", "m"});
    check(6);
    list.renumberFrom(0);
    list.setCell(1, 5, "");
    check(4);
    list.setChecked(0, true);
    list.removeChecked();
    check(3);
    list.setCell(0, 4, "9");
    list.setTitles({"No.", "Name", "Number", "E-mail"});
    check(3);
    list.appendRow({"2", "c", "3", "n"});
    list.removeRow(0);
    check(4);
    list.clear();
    check(3);
}

TEST(MessageList, DeleteKeepsRowsAndImagesInStep) {
    MessageList messages({"No.", "Status", "Number", "Time", "Text"});
    for (const char tag : std::string("12345")) {
        MessageImage image{};
        image[1] = static_cast<uint8_t>(tag);
        messages.append({std::string(1, tag), "", "", "", std::string(1, tag)}, image);
    }
    messages.remove(1);
    EXPECT_EQ(column(messages.rows(), 0), (Strings{"1", "2", "3", "4"}));
    EXPECT_EQ(tags(messages), "1345");

    messages.rows().setChecked(0, true);
    messages.rows().setChecked(2, true);
    EXPECT_EQ(messages.removeChecked(), 2u);
    EXPECT_EQ(tags(messages), "35");
    EXPECT_TRUE(messages.swap(0, 1));
    EXPECT_EQ(tags(messages), "53");
    EXPECT_EQ(column(messages.rows(), 4), (Strings{"5", "3"}));
    EXPECT_EQ(messages.rows().cell(0, 0), "1");
    EXPECT_FALSE(messages.swap(1, 2));
}

} // namespace
} // namespace velnor::test
