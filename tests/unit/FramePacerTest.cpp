// The main loop's redraw decision and rest, driven frame by frame with the
// real clock state, as the loop drives them.
#include <gtest/gtest.h>

#include <set>

#include "clock/ClockPicture.h"
#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "host/FramePacer.h"

namespace {

constexpr int kRate = 60;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct SecondCase {
    const char* name;
    double wholeSecond;  // the clock time at which the upcoming record changes
};

class OneSecondAt60Hz : public ::testing::TestWithParam<SecondCase> {};

// Frames at 60 Hz, half a frame off the whole second. Frame 0 starts the
// flip, frames 1-14 are the fall (the flap lands 0.245 s in), frame 15 the
// landing, frame 30 the shown record catching up; all others rest.
TEST_P(OneSecondAt60Hz, DrawsExactlyTheChangedPictures) {
    ResetFlipState();
    CFramePacer pacer(kRate);
    const double interval = 1.0 / kRate;
    // The picture of the quiet half second before: presented, a slot ago.
    UpdateClockAt(GetParam().wholeSecond - 0.4);
    pacer.Presented(CurrentClockPicture(kWidth, kHeight), -interval);

    const std::set<int> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 30};
    std::set<int> drawn;
    for (int i = 0; i < kRate; ++i) {
        // A microsecond after each slot, as the loop's wait ends.
        const double now = i * interval + 1e-6;
        UpdateClockAt(GetParam().wholeSecond + (i + 0.5) * interval);
        const ClockPicture picture = CurrentClockPicture(kWidth, kHeight);
        if (pacer.ShouldDraw(picture, now)) {
            drawn.insert(i);
            pacer.Presented(picture, now);
        }
    }
    EXPECT_EQ(drawn, expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(ClockTimes, OneSecondAt60Hz,
                         ::testing::Values(SecondCase{"12:34:56 to 57", 45297.0},
                                           SecondCase{"12:34:59 to 12:35:00", 45300.0},
                                           SecondCase{"23:59:59 to 00:00:00", 86400.0}));

class Pacer : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFlipState();
        UpdateClockAt(45296.7);  // resting: the seconds flip has landed
        UpdateClockAt(45296.9);
        idle = CurrentClockPicture(kWidth, kHeight);
        pacer.Presented(idle, 10.0);
    }
    CFramePacer pacer{kRate};
    ClockPicture idle;
};

TEST_F(Pacer, AResizeAndARefreshRequestForceADraw) {
    const double later = 10.5;
    EXPECT_FALSE(pacer.ShouldDraw(idle, later));
    EXPECT_TRUE(pacer.ShouldDraw(CurrentClockPicture(kWidth, 720), later));
    EXPECT_TRUE(pacer.ShouldDraw(CurrentClockPicture(1280, kHeight), later));
    pacer.RequestRedraw();
    EXPECT_TRUE(pacer.ShouldDraw(idle, later));
    pacer.Presented(idle, later);
    EXPECT_FALSE(pacer.ShouldDraw(idle, later + 1.0));
}

TEST_F(Pacer, EveryShownPositionAndEveryPropertyCounts) {
    for (int i = 0; i < 6; ++i) {
        ClockPicture p = idle;
        p.shown[i] += 1;
        EXPECT_NE(p, idle) << "shown " << i;
        p = idle;
        p.coming[i] += 1;
        EXPECT_NE(p, idle) << "coming " << i;
        p = idle;
        p.flipping[i] = 1;
        EXPECT_NE(p, idle) << "flipping " << i;
        p = idle;
        p.angle[i] = 45.0f;
        EXPECT_NE(p, idle) << "angle " << i;
    }
    // An idle position's kept angle and the day positions do not count.
    g_tileAngle[6] = 33.0f;
    g_currentDigits[3] = 7;
    EXPECT_EQ(CurrentClockPicture(kWidth, kHeight), idle);
}

TEST_F(Pacer, NeverBeginsAFrameBeforeTheNextSlot) {
    ClockPicture changed = idle;
    changed.angle[5] = 10.0f;
    changed.flipping[5] = 1;
    const double interval = 1.0 / kRate;
    EXPECT_FALSE(pacer.ShouldDraw(changed, 10.0 + interval * 0.5));
    EXPECT_TRUE(pacer.ShouldDraw(changed, 10.0 + interval));
    // While a flap falls the loop waits only for that slot.
    EXPECT_NEAR(pacer.WakeTime(10.002, 10.002, false), 10.0 + interval, 1e-9);
    // Frames on cadence keep it, so a late wake-up does not push it back.
    pacer.Presented(changed, 10.0 + interval + 0.004);
    EXPECT_NEAR(pacer.WakeTime(10.0 + interval + 0.005, 0.0, false), 10.0 + 2 * interval, 1e-9);
}

TEST_F(Pacer, RestsUntilTheNextChangeAndInPreviewPollsTheHost) {
    // At 45296.9 the next change is the flip at 45297.0.
    EXPECT_DOUBLE_EQ(NextPictureChange(idle, 45296.9), 45297.0);
    EXPECT_DOUBLE_EQ(NextPictureChange(idle, 45297.3), 45297.5);
    EXPECT_DOUBLE_EQ(NextPictureChange(idle, 45297.5), 45298.0);
    const double wake = pacer.WakeTime(10.2, 10.9, false);
    EXPECT_GT(wake, 10.9);
    EXPECT_LT(wake, 10.91);
    EXPECT_NEAR(pacer.WakeTime(10.2, 10.9, true), 10.2 + CFramePacer::kPreviewPoll, 1e-9);
    // A pending redraw waits only for the slot.
    pacer.RequestRedraw();
    EXPECT_LE(pacer.WakeTime(10.2, 10.9, false), 10.2);
}

TEST_F(Pacer, AFallingFlapMeansTheNextFrame) {
    UpdateClockAt(45297.05);  // the seconds flip is under way
    ASSERT_EQ(g_tileFlipping[9], 1);
    ASSERT_LT(g_tileAngle[9], 180.0f);
    EXPECT_DOUBLE_EQ(NextPictureChange(CurrentClockPicture(kWidth, kHeight), 45297.05), 45297.05);
}

TEST(PacerRate, UnknownRefreshCountsAsSixty) {
    for (const int rate : {0, 144}) {
        CFramePacer pacer(rate);
        const double interval = 1.0 / (rate > 0 ? rate : 60);
        ClockPicture picture;
        pacer.Presented(picture, 10.0);
        picture.width = 1;
        EXPECT_FALSE(pacer.ShouldDraw(picture, 10.0 + interval * 0.99)) << rate;
        EXPECT_TRUE(pacer.ShouldDraw(picture, 10.0 + interval)) << rate;
    }
}

}  // namespace
