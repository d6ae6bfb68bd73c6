#include <gtest/gtest.h>

#include <ctime>

#include "clock/ClockTime.h"

namespace {

// Positions 4..9 as HHMMSS, positions 0..3 as the day count.
int Shown(const ClockDigits& d) {
    return ((d[4] * 10 + d[5]) * 100 + d[6] * 10 + d[7]) * 100 + d[8] * 10 + d[9];
}
int Days(const ClockDigits& d) { return ((d[0] * 10 + d[1]) * 10 + d[2]) * 10 + d[3]; }

struct SplitCase {
    double seconds;
    int shown;  // HHMMSS
    int days;
};

class SplitClockTimeCase : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitClockTimeCase, GivesTheTimeOfDay) {
    ClockDigits digits;
    SplitClockTime(digits, GetParam().seconds);
    EXPECT_EQ(Shown(digits), GetParam().shown) << GetParam().seconds;
    EXPECT_EQ(Days(digits), GetParam().days) << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SplitClockTimeCase,
    ::testing::Values(SplitCase{0.0, 0, 0},
                      SplitCase{45296.4, 123456, 0},  // rounds down below the half
                      SplitCase{45296.5, 123457, 0},  // halves round away from zero
                      SplitCase{86399.4, 235959, 0},
                      SplitCase{86399.5, 0, 1},  // midnight: hours wrap, a day counts
                      SplitCase{86400.0 * 2 + 3600 * 13 + 5, 130005, 2},
                      SplitCase{86400.0 * 1234 + 59, 59, 1234}, SplitCase{86400.0 * 9999, 0, 9999},
                      SplitCase{86400.0 * 12345 + 61, 101, 9345}));  // thousands held at 9

TEST(SplitClockTime, EveryPositionIsADigitEvenForHugeTimes) {
    ClockDigits digits;
    SplitClockTime(digits, 1e300);
    for (int i = 0; i < 10; ++i) {
        EXPECT_GE(digits[i], 0);
        EXPECT_LE(digits[i], 9);
    }
}

TEST(UpdateClock, UpcomingRecordRunsHalfASecondAhead) {
    UpdateClockAt(45296.2);
    EXPECT_EQ(Shown(g_currentDigits), 123456);
    EXPECT_EQ(Shown(g_upcomingDigits), 123457);
    UpdateClockAt(45295.9);
    EXPECT_EQ(Shown(g_currentDigits), 123456);
    EXPECT_EQ(Shown(g_upcomingDigits), 123456);
    UpdateClockAt(86399.2);
    EXPECT_EQ(Shown(g_currentDigits), 235959);
    EXPECT_EQ(Shown(g_upcomingDigits), 0);
    EXPECT_EQ(Days(g_upcomingDigits), 1);
}

TEST(SecondsOfDay, CountsFromMidnight) {
    std::tm local{};
    local.tm_hour = 12;
    local.tm_min = 34;
    local.tm_sec = 56;
    EXPECT_EQ(SecondsOfDay(local), 45296.0f);
    local.tm_hour = 23;
    local.tm_min = 59;
    local.tm_sec = 59;
    EXPECT_EQ(SecondsOfDay(local), 86399.0f);
}

// Run by ctest under faketime at 2026-03-14 12:34:56 UTC (TZ=UTC).
TEST(CaptureTimeOfDayUnderFaketime, DISABLED_StoresTheLocalSecondsOfDay) {
    CaptureTimeOfDay();
    EXPECT_EQ(g_secondsOfDay, 45296.0);
}

}  // namespace
