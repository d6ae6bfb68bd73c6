// The clock time model: the local time of day, advanced with the GLFW timer,
// split into the glyph codes the tiles show.
//
// The time of day is taken on the first frame and taken again whenever the
// running clock and the system's local time part by more than a couple of
// seconds (a clock step, a daylight-saving change, a resume from suspend,
// which stops the timer on Linux), so the clock always shows the system's
// time; smaller differences, which the whole-second reading cannot tell from
// its own rounding, change nothing.
#pragma once

#include <cstdint>
#include <ctime>

// A glyph cell of the atlas: 0-9 the digits, 10 "A", 11 "M", 12 "P".
using GlyphCode = std::int32_t;

// Ten glyph codes by tile position: 0-3 whole days (never shown), 4-5 hours,
// 6-7 minutes, 8-9 seconds.
struct ClockDigits {
    GlyphCode digits[10] = {};
    GlyphCode& operator[](int position) { return digits[position]; }
    const GlyphCode& operator[](int position) const { return digits[position]; }
};

extern double g_secondsOfDay;           // local seconds since midnight at the capture
extern std::int32_t g_clockFirstFrame;  // 1 until the time of day has been captured
extern ClockDigits g_currentDigits;     // the clock time of this frame
extern ClockDigits g_upcomingDigits;    // the clock time half a second ahead
// The timer reading the clock time counts from: that of the frame that took
// the time of day, the first one or the last that took it again.
extern double g_clockTimerBase;
// The timer reading from which a frame compares the clock with the local
// time again; written by KeepTimeOfDay alone.
extern double g_nextTimeOfDayCheck;

// Frames this far apart (timer seconds) compare the clock with the local
// time. The loop wakes every half second at the latest, so this checks about
// twice a second with no wake-up of its own, also when a wake comes a little
// early, and never on every frame of a fall.
constexpr double kTimeOfDayCheckInterval = 0.4;

// The local seconds of day now (time, localtime), whole seconds; -1 when
// localtime fails.
double LocalSecondsOfDay();

// Reads the local time of day into g_secondsOfDay (0 when localtime fails).
void CaptureTimeOfDay();

// tm_sec + tm_min * 60 + tm_hour * 3600, in float arithmetic.
float SecondsOfDay(const std::tm& local);

// Whether clock time x has parted from the local seconds of day: more than
// 2 s apart around the 24-hour dial, whatever days the clock time counts.
bool ClockHasParted(double clockTime, double localSecondsOfDay);

// The clock time at a timer reading, and the timer reading of a clock time.
double ClockTimeAt(double timer);
double TimerAt(double clockTime);

// Splits a clock time in seconds (never negative) into the ten positions.
void SplitClockTime(ClockDigits& out, double seconds);
