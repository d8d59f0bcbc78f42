#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "support/EnglishTexts.h"
#include "ui/CWorkProgressWnd.h"

namespace velnor {
namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    test::EnglishTexts texts;
    QMainWindow owner;
    CWorkProgressWnd progress{&owner, texts};
};

TEST_F(ProgressWindowTest, TheCaptionShowsAPercentageOnceOneIsReached) {
    progress.begin("Reading", "text", 0, 250);
    EXPECT_EQ(progress.window()->windowTitle(), "Reading");
    progress.step();
    progress.step();
    EXPECT_EQ(progress.window()->windowTitle(), "Reading") << "positions 1 and 2 are 0%";
    progress.step();
    EXPECT_EQ(progress.window()->windowTitle(), "Reading [1%]");
    progress.setPos(5);
    EXPECT_EQ(progress.window()->windowTitle(), "Reading [2%]");
    EXPECT_EQ(progress.bar()->value(), 5);
    progress.setPos(250);
    EXPECT_EQ(progress.window()->windowTitle(), "Reading [100%]");
}

TEST_F(ProgressWindowTest, AnEmptyRangeStaysAtZeroPercent) {
    EXPECT_EQ(CWorkProgressWnd::percentOf(7, 4, 4), 0);
    EXPECT_EQ(CWorkProgressWnd::percentOf(3, 0, 250), 1);
    progress.begin("Writing", "", 0, 0);
    progress.step();
    progress.step();
    EXPECT_EQ(progress.window()->windowTitle(), "Writing");
}

TEST_F(ProgressWindowTest, ItDisablesItsOwnerUntilItCloses) {
    owner.show();
    progress.begin("Reading", "text", 0, 10);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_EQ(progress.disabledOwner(), &owner);
    EXPECT_TRUE(progress.window()->isEnabled()) << "the window itself takes input";
    EXPECT_TRUE(progress.window()->isVisible());
    progress.close();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(progress.window()->isVisible());
    progress.close();
    EXPECT_TRUE(owner.isEnabled()) << "closing twice is harmless";
}

TEST_F(ProgressWindowTest, CancelSetsTheFlagUntilTheNextBegin) {
    progress.begin("Reading", "text", 0, 10);
    EXPECT_FALSE(progress.cancelled());
    QTest::mouseClick(progress.cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(progress.cancelled());
    progress.begin("Writing", "text", 0, 10);
    EXPECT_FALSE(progress.cancelled());
}

TEST_F(ProgressWindowTest, StepsBeforeTheWindowExistsStillCount) {
    EXPECT_EQ(progress.setPos(4), 4);
    progress.step();
    EXPECT_EQ(progress.setPos(6), 6);
    EXPECT_EQ(progress.window(), nullptr);
}

} // namespace
} // namespace velnor
