// The clock time model: the local time of day, read once, advanced with the
// GLFW timer, split into the glyph codes the tiles show.
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

// Reads the local time of day (time, localtime) into g_secondsOfDay.
void CaptureTimeOfDay();

// tm_sec + tm_min * 60 + tm_hour * 3600, in float arithmetic.
float SecondsOfDay(const std::tm& local);

// Splits a clock time in seconds (never negative) into the ten positions.
void SplitClockTime(ClockDigits& out, double seconds);

// Once per frame: clock time = glfwGetTime + g_secondsOfDay, then both
// digit records and the flip state. Returns that clock time, for the main
// loop to know when the picture can next change.
double UpdateClock();

// UpdateClock's work for a given clock time.
void UpdateClockAt(double clockTime);
