// The loop's decision on the display's power, against a stand-in platform
// that says what a test sets and counts the questions.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "clock/FlipTiles.h"
#include "host/DisplayWatch.h"
#include "host/FramePacer.h"

namespace {

bool g_seen = true;
int g_questions = 0;

bool StandInCanBeSeen() {
    ++g_questions;
    return g_seen;
}

class DisplayWatch : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = true;
        g_questions = 0;
    }
};

// An iteration every frame at 60 Hz from `from` for `seconds`; the turns
// seen, in order.
std::vector<DisplayTurn> IterateAt60Hz(CDisplayWatch& watch, double from, double seconds) {
    std::vector<DisplayTurn> turns;
    for (int frame = 0; frame < static_cast<int>(seconds * 60.0); ++frame) {
        const DisplayTurn turn = watch.Check(from + frame / 60.0);
        if (turn != DisplayTurn::None) turns.push_back(turn);
    }
    return turns;
}

TEST_F(DisplayWatch, WithoutNewsNeverAsksAndNeverGoesDark) {
    CDisplayWatch watch(DisplayNews::Silent, StandInCanBeSeen);
    g_seen = false;
    EXPECT_TRUE(IterateAt60Hz(watch, 0.0, 3.0).empty());
    EXPECT_FALSE(watch.Dark());
    EXPECT_EQ(g_questions, 0);
}

// The server is asked at the first iteration and then at most once a
// second, on or off, and a dark loop sleeps until the next question.
TEST_F(DisplayWatch, AskedAtMostOnceASecondAndSleepsUntilTheNextQuestion) {
    CDisplayWatch watch(DisplayNews::Asked, StandInCanBeSeen);
    EXPECT_TRUE(IterateAt60Hz(watch, 10.0, 2.5).empty());
    EXPECT_EQ(g_questions, 3);  // at 10, 11 and 12

    g_seen = false;
    g_questions = 0;
    const std::vector<DisplayTurn> dark = IterateAt60Hz(watch, 12.5, 3.0);
    ASSERT_EQ(dark.size(), 1u);
    EXPECT_EQ(dark[0], DisplayTurn::WentDark);
    EXPECT_TRUE(watch.Dark());
    EXPECT_LE(g_questions, 3);
    // Last question at 15.0 or before: the next a second later, in preview
    // the host's poll first.
    const double now = 15.45;
    const double wake = watch.DarkWake(now, false);
    EXPECT_GT(wake, now);
    EXPECT_LE(wake, now + CDisplayWatch::kAskInterval);
    EXPECT_DOUBLE_EQ(watch.DarkWake(now, true), std::fmin(wake, now + CFramePacer::kPreviewPoll));

    g_seen = true;
    const std::vector<DisplayTurn> back = IterateAt60Hz(watch, 15.5, 1.0);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], DisplayTurn::CameBack);
    EXPECT_FALSE(watch.Dark());
}

// A told state is read every iteration (it costs nothing); only a message
// ends a dark wait, or the preview's poll of its host.
TEST_F(DisplayWatch, ToldIsReadEveryIterationAndOnlyAMessageEndsTheDark) {
    CDisplayWatch watch(DisplayNews::Told, StandInCanBeSeen);
    EXPECT_EQ(watch.Check(1.0), DisplayTurn::None);
    g_seen = false;
    EXPECT_EQ(watch.Check(1.001), DisplayTurn::WentDark);
    EXPECT_EQ(watch.Check(1.002), DisplayTurn::None);
    EXPECT_TRUE(std::isinf(watch.DarkWake(1.002, false)));
    EXPECT_DOUBLE_EQ(watch.DarkWake(1.002, true), 1.002 + CFramePacer::kPreviewPoll);
    g_seen = true;
    EXPECT_EQ(watch.Check(1.003), DisplayTurn::CameBack);
    EXPECT_EQ(g_questions, 4);
}

// Coming back after a dark hour while the clock it kept had a flap falling:
// the clock shows the time read now, every tile at rest.
TEST(RetakeTimeOfDay, ShowsTheLocalTimeWithEveryTileAtRest) {
    ResetFlipState();
    g_clockFirstFrame = 0;
    g_clockTimerBase = 0.0;
    g_secondsOfDay = 3600.0 * 5;  // a clock hours off the local time
    UpdateClock(3600.0);
    UpdateClock(3600.125);
    bool anyFlipping = false;
    for (int p = 4; p <= 9; ++p) anyFlipping = anyFlipping || g_tileFlipping[p] != 0;
    ASSERT_TRUE(anyFlipping);

    const double timer = 3600.25;
    const double before = LocalSecondsOfDay();
    RetakeTimeOfDay(timer);
    const double after = LocalSecondsOfDay();
    ASSERT_GE(before, 0.0);
    for (int p = 4; p <= 9; ++p) EXPECT_EQ(g_tileFlipping[p], 0) << "position " << p;
    const double clock = ClockTimeAt(timer);
    EXPECT_TRUE(clock == before || clock == after) << clock;
    EXPECT_DOUBLE_EQ(g_nextTimeOfDayCheck, timer + kTimeOfDayCheckInterval);
}

}  // namespace
