#include <gtest/gtest.h>

#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"

namespace {

// Each test starts from the state before the first frame.
class FlipState : public ::testing::Test {
protected:
    void SetUp() override { ResetFlipState(); }
};

TEST_F(FlipState, BothSecondsTilesStartInTheHalfSecondBeforeTheChange) {
    UpdateClockAt(45296.2);  // shown 12:34:56, upcoming 12:34:57
    EXPECT_EQ(g_tileFlipping[8], 1);
    EXPECT_EQ(g_tileFlipping[9], 1);
    EXPECT_EQ(g_flipStartTime[8], 45296.2);
    EXPECT_EQ(g_flipStartTime[9], 45296.2);
    // The tens tile flips from "5" to "5".
    EXPECT_EQ(g_currentDigits[8], 5);
    EXPECT_EQ(g_upcomingDigits[8], 5);
    for (int p : {4, 5, 6, 7}) EXPECT_EQ(g_tileFlipping[p], 0) << p;
    EXPECT_EQ(g_tileAngle[8], 0.0f);
}

TEST_F(FlipState, TheFlapFallsLikeABodyAndRestsAt180) {
    UpdateClockAt(45296.0 + 0.1);
    ASSERT_EQ(g_tileFlipping[9], 1);
    UpdateClockAt(45296.1 + 0.1);
    EXPECT_NEAR(g_tileAngle[9], 30.0f, 1e-3);
    UpdateClockAt(45296.1 + 0.2);
    EXPECT_NEAR(g_tileAngle[9], 120.0f, 1e-3);
    UpdateClockAt(45296.1 + 0.245);
    EXPECT_NEAR(g_tileAngle[9], 180.0f, 0.5f);
    UpdateClockAt(45296.1 + 0.3);
    EXPECT_EQ(g_tileAngle[9], 180.0f);
    // A later start inside the same window does not restart it.
    EXPECT_EQ(g_flipStartTime[9], 45296.1);
    // Past the change both records agree: the flip ends, the angle stays.
    UpdateClockAt(45296.6);
    EXPECT_EQ(g_tileFlipping[9], 0);
    EXPECT_EQ(g_tileAngle[9], 180.0f);
}

TEST_F(FlipState, MidnightFlipsEveryGroup) {
    UpdateClockAt(86399.2);  // 23:59:59 -> 00:00:00
    for (int p = 4; p <= 9; ++p) EXPECT_EQ(g_tileFlipping[p], 1) << p;
    UpdateClockAt(45295.9);  // 12:34:56 both: nothing flips
    for (int p = 4; p <= 9; ++p) EXPECT_EQ(g_tileFlipping[p], 0) << p;
}

TEST_F(FlipState, AStallLongerThanTheWindowSkipsTheFlip) {
    UpdateClockAt(45295.9);
    UpdateClockAt(45296.6);  // jumped over 45296.0 .. 45296.5
    for (int p = 4; p <= 9; ++p) EXPECT_EQ(g_tileFlipping[p], 0) << p;
    EXPECT_EQ(g_currentDigits[9], 7);
}

TEST_F(FlipState, MinutesFlipOncePerMinuteAndHoursOncePerHour) {
    UpdateClockAt(45299.2);  // 12:34:59 -> 12:35:00
    EXPECT_EQ(g_tileFlipping[6], 1);
    EXPECT_EQ(g_tileFlipping[7], 1);
    EXPECT_EQ(g_tileFlipping[4], 0);
    UpdateClockAt(46799.2);  // 12:59:59 -> 13:00:00
    EXPECT_EQ(g_tileFlipping[4], 1);
    EXPECT_EQ(g_tileFlipping[5], 1);
}

TEST(GlyphCellOf, FollowsTheAtlasTable) {
    EXPECT_EQ(GlyphCellOf(0).left, 30.0f);
    EXPECT_EQ(GlyphCellOf(0).top, 864.0f);
    EXPECT_EQ(GlyphCellOf(3).top, 1728.0f);
    EXPECT_EQ(GlyphCellOf(4).left, 420.0f);
    EXPECT_EQ(GlyphCellOf(4).top, 0.0f);
    EXPECT_EQ(GlyphCellOf(9).top, 1440.0f);
    EXPECT_EQ(GlyphCellOf(12).top, 576.0f);  // "P"
    EXPECT_EQ(GlyphCellOf(13).top, 864.0f);  // outside the table: "0"
    EXPECT_EQ(GlyphCellOf(-1).top, 864.0f);
}

}  // namespace
