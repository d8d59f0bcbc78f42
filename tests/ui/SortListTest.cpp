

#include "UiTest.h"
#include "support/Fakes.h"
#include "support/RowColumns.h"
#include "support/TestVectors.h"
#include "widgets/CSortListCtrl.h"
#include "widgets/ListHeadings.h"
#include "widgets/SortOrder.h"

namespace velnor::test {
namespace {

TEST(ListHeadingsTest, TitlesRunToTheCommaAndTheBlankAfterASemicolonBelongsToTheNextTitle) {
    for (const json &v : loadVectors("widgets/headings.json")) {
        std::vector<std::pair<std::string, int>> headings;
        for (const Heading &heading : parseHeadings(v.at("text").get<std::string>())) {
            headings.emplace_back(heading.title, heading.width);
        }
        EXPECT_EQ(json(headings), v.at("headings")) << v.dump();
    }
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
    return column(list, 1);
}

TEST(SortOrderTest, EachKindSortsAscendingAndTheReverseDescending) {
    for (const json &v : loadVectors("widgets/sort-kinds.json")) {
        SCOPED_TRACE(v.dump());
        const auto keys = v.at("keys").get<std::vector<std::string>>();
        EXPECT_EQ(sortedKeys(keys, true), v.at("ascending"));
        std::vector<std::string> descending = sortedKeys(keys, false);
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(descending, v["ascending"]);
    }
}

// An empty cell is a number (0), whatever the column holds.
TEST(SortOrderTest, AnEmptyCellIsANumber) {
    EXPECT_EQ(cellKind(""), CellKind::Number);
}

class SortListCtrlTest : public ::testing::Test {
protected:
    SortListCtrlTest() : rows(listOf({"9", "12", "3"})), list(rows) {
        list.resize(400, 300);
        list.show();
        list.SetHeadings("No.,40; Key,90; Other,120");
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

    RowList rows;
    CSortListCtrl list;
};

TEST_F(SortListCtrlTest, HeadingClicksAlternateTheOrderAndNumberRowsAgain) {
    const QImage unmarked = headingPicture(1);
    clickHeading(&list, 1);
    const QImage marked = headingPicture(1);
    EXPECT_NE(marked, unmarked) << "the sorted column shows the sort mark";
    EXPECT_EQ(column(rows, 1), (std::vector<std::string>{"3", "9", "12"}));
    EXPECT_EQ(column(rows, 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(rows, 2), (std::vector<std::string>{"2", "0", "1"})) << "rows move whole";
    clickHeading(&list, 1);
    EXPECT_EQ(column(rows, 1), (std::vector<std::string>{"12", "9", "3"}));
    EXPECT_EQ(column(rows, 0), (std::vector<std::string>{"1", "2", "3"}));
    clickHeading(&list, 2);
    EXPECT_EQ(column(rows, 1), (std::vector<std::string>{"12", "9", "3"})) << "only column 1 sorts";
    clickHeading(&list, 1);
    for (const int other : {0, 2}) {
        clickHeading(&list, other);
        EXPECT_EQ(headingPicture(1), marked) << "the mark stays after a click on " << other;
    }
}

TEST_F(SortListCtrlTest, TheHeadingClickHoldsTheWatcherAndTellsThePage) {
    CountingWorker worker;
    const Timing timing = Timing::none();
    list.setWorker(&worker, &timing);
    std::vector<int> clicked;
    QObject::connect(&list, &CCheckListCtrl::headerClicked, [&](int s) {
        clicked.push_back(s);
        EXPECT_EQ(worker.depth, 1) << "the page hears of the click while the watcher is held";
    });
    clickHeading(&list, 0);
    clickHeading(&list, 2);
    EXPECT_EQ(clicked, (std::vector<int>{0, 2}));
    EXPECT_EQ(worker.pauses, 2);
    EXPECT_EQ(worker.depth, 0);
}

TEST_F(SortListCtrlTest, CheckAllImageFollowsTheTicksAndTicksEveryRow) {
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kNotAllChecked);
    clickHeading(&list, 0);
    EXPECT_TRUE(rows.allChecked());
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kAllChecked);
    rows.setChecked(1, false);
    EXPECT_EQ(list.checkHeader()->image(), CheckAllHeader::kNotAllChecked);
    clickHeading(&list, 0);
    EXPECT_TRUE(rows.allChecked());
    clickHeading(&list, 0);
    EXPECT_FALSE(rows.isChecked(0));
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
} // namespace velnor::test
