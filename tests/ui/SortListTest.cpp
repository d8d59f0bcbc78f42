#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

#include "support/Fakes.h"
#include "support/TestVectors.h"
#include "widgets/CSortListCtrl.h"
#include "widgets/ListHeadings.h"
#include "widgets/SortOrder.h"

namespace velnor {
namespace {

TEST(ListHeadingsTest, TitlesRunToTheCommaAndTheBlankAfterASemicolonBelongsToTheNextTitle) {
    const std::vector<Heading> headings = parseHeadings("No.,40; Name,90;Number,120x");
    ASSERT_EQ(headings.size(), 3u);
    EXPECT_EQ(headings[0].title, "No.");
    EXPECT_EQ(headings[0].width, 40);
    EXPECT_EQ(headings[1].title, " Name");
    EXPECT_EQ(headings[2].title, "Number");
    EXPECT_EQ(headings[2].width, 120);
    EXPECT_TRUE(parseHeadings("no comma at all").empty());
    EXPECT_EQ(parseHeadings("A,10; B").size(), 1u) << "a title without a comma ends the list";
    EXPECT_EQ(parseHeadings("A,wide").at(0).width, 0);
}

TEST(ListHeadingsTest, KeptWidthsRoundTripAndRefuseAnotherColumnCount) {
    const std::string text = columnWidthsText({85, 127, 170});
    EXPECT_EQ(text.substr(0, 16), "0300000055000000");
    EXPECT_EQ(parseColumnWidths(text, 3), (std::vector<int>{85, 127, 170}));
    EXPECT_FALSE(parseColumnWidths(columnWidthsText({10, 20}), 3)) << "count 2 for 3 columns";
    for (const char *bad : {"", "03", "0300000055", "zz000000", "0000000055000000"}) {
        EXPECT_FALSE(parseColumnWidths(bad, 3)) << bad;
    }
}

RowList listOf(const std::vector<std::string> &keys) {
    RowList list({"No.", "Key", "Other"});
    for (size_t i = 0; i < keys.size(); ++i) {
        list.appendRow({std::to_string(i + 1), keys[i], std::to_string(i)});
    }
    return list;
}

std::vector<std::string> sortedKeys(const std::vector<std::string> &keys, bool ascending) {
    RowList list = listOf(keys);
    list.permute(sortOrder(list, 1, ascending));
    std::vector<std::string> result;
    for (size_t row = 0; row < list.rowCount(); ++row) {
        result.push_back(list.cell(row, 1));
    }
    return result;
}

TEST(SortOrderTest, EachKindSortsAscendingAndTheReverseDescending) {
    for (const test::json &v : test::loadVectors("widgets/sort-kinds.json")) {
        SCOPED_TRACE(v.dump());
        const auto keys = v.at("keys").get<std::vector<std::string>>();
        EXPECT_EQ(sortedKeys(keys, true), v.at("ascending"));
        std::vector<std::string> descending = sortedKeys(keys, false);
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(descending, v["ascending"]);
    }
}

TEST(SortOrderTest, OnlyDigitsAreANumberAndOnlyDdMmYyyyADate) {
    EXPECT_EQ(cellKind("12"), CellKind::Number);
    EXPECT_EQ(cellKind(""), CellKind::Number);
    EXPECT_EQ(cellKind("01/02/2008"), CellKind::Date);
    EXPECT_EQ(cellKind("1/02/2008"), CellKind::Text);
    EXPECT_EQ(cellKind("ab/cd/efgh"), CellKind::Text);
}

class SortListCtrlTest : public ::testing::Test {
protected:
    SortListCtrlTest() : rows(listOf({"9", "12", "3"})), list(rows) {
        list.resize(400, 300);
        list.show();
        list.SetHeadings("No.,40; Key,90; Other,120");
    }
    void clickHeading(int section) {
        QHeaderView *header = list.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, 5));
    }
    // A heading as it is drawn, with the mouse elsewhere.
    QImage headingPicture(int section) {
        QHeaderView *header = list.horizontalHeader();
        QTest::mouseMove(list.viewport(), list.viewport()->rect().center());
        return header
            ->grab(QRect(header->sectionViewportPosition(section), 0, header->sectionSize(section),
                         header->height()))
            .toImage();
    }
    std::vector<std::string> column(size_t c) const {
        std::vector<std::string> cells;
        for (size_t row = 0; row < rows.rowCount(); ++row) {
            cells.push_back(rows.cell(row, c));
        }
        return cells;
    }

    RowList rows;
    CSortListCtrl list;
};

TEST_F(SortListCtrlTest, HeadingClicksAlternateTheOrderAndNumberRowsAgain) {
    const QImage unmarked = headingPicture(1);
    clickHeading(1);
    const QImage marked = headingPicture(1);
    EXPECT_NE(marked, unmarked) << "the sorted column shows the sort mark";
    EXPECT_EQ(column(1), (std::vector<std::string>{"3", "9", "12"}));
    EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"2", "0", "1"})) << "rows move whole";
    clickHeading(1);
    EXPECT_EQ(column(1), (std::vector<std::string>{"12", "9", "3"}));
    EXPECT_FALSE(list.sortedAscending());
    EXPECT_EQ(column(0), (std::vector<std::string>{"1", "2", "3"}));
    clickHeading(2);
    EXPECT_EQ(column(1), (std::vector<std::string>{"12", "9", "3"})) << "only column 1 sorts";
    clickHeading(1);
    for (const int other : {0, 2}) {
        clickHeading(other);
        EXPECT_EQ(headingPicture(1), marked) << "the mark stays after a click on " << other;
    }
}

TEST_F(SortListCtrlTest, TheHeadingClickHoldsTheWatcherAndTellsThePage) {
    test::CountingWorker worker;
    const Timing timing = Timing::none();
    list.setWorker(&worker, &timing);
    std::vector<int> clicked;
    QObject::connect(&list, &CCheckListCtrl::headerClicked, [&](int s) {
        clicked.push_back(s);
        EXPECT_EQ(worker.depth, 1) << "the page hears of the click while the watcher is held";
    });
    clickHeading(0);
    clickHeading(2);
    EXPECT_EQ(clicked, (std::vector<int>{0, 2}));
    EXPECT_EQ(worker.pauses, 2);
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(SortListCtrlTest, CheckAllImageFollowsTheTicksAndTicksEveryRow) {
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kNotAllChecked);
    clickHeading(0);
    EXPECT_TRUE(rows.allChecked());
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kAllChecked);
    rows.setChecked(1, false);
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kNotAllChecked);
    clickHeading(0);
    EXPECT_TRUE(rows.allChecked());
    clickHeading(0);
    EXPECT_FALSE(rows.isChecked(0));
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    rows.clear();
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kAllChecked) << "empty: all ticked";
}

TEST_F(SortListCtrlTest, ClicksTickAndSelectInTheRowList) {
    const QRect box = list.visualRect(list.model()->index(1, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(box.left() + 10, box.center().y()));
    EXPECT_TRUE(rows.isChecked(1));
    const QRect name = list.visualRect(list.model()->index(2, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, name.center());
    EXPECT_EQ(rows.firstSelected(), 2u);
    EXPECT_EQ(rows.selectedCount(), 1u);
    rows.selectOnly(0);
    EXPECT_TRUE(list.selectionModel()->isRowSelected(0, QModelIndex())) << "the view follows";
    EXPECT_FALSE(list.selectionModel()->isRowSelected(2, QModelIndex()));
}

} // namespace
} // namespace velnor
