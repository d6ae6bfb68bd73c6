#include "clock/ClockTime.h"

#include <cmath>
#include <cstdint>
#include <limits>

double g_secondsOfDay = 0.0;
std::int32_t g_clockFirstFrame = 1;
ClockDigits g_currentDigits;
ClockDigits g_upcomingDigits;
double g_clockTimerBase = 0.0;
double g_nextTimeOfDayCheck = 0.0;

namespace {
constexpr double kSecondsPerDay = 86400.0;
// The reading has whole seconds and the clock runs ahead of it by the
// start-up time and its own rounding; only a difference beyond those is a
// step of the system's clock. Slewing never comes near it.
constexpr double kFollowThreshold = 2.0;
}  // namespace

float SecondsOfDay(const std::tm& local) {
    return static_cast<float>(local.tm_sec) + static_cast<float>(local.tm_min) * 60.0f +
           static_cast<float>(local.tm_hour) * 60.0f * 60.0f;
}

double LocalSecondsOfDay() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? static_cast<double>(SecondsOfDay(*local)) : -1.0;
}

void CaptureTimeOfDay() {
    const double local = LocalSecondsOfDay();
    g_secondsOfDay = local >= 0.0 ? local : 0.0;
}

bool ClockHasParted(double clockTime, double localSecondsOfDay) {
    double apart = std::fmod(clockTime - localSecondsOfDay, kSecondsPerDay);
    if (apart > kSecondsPerDay / 2) apart -= kSecondsPerDay;
    if (apart < -kSecondsPerDay / 2) apart += kSecondsPerDay;
    return std::fabs(apart) > kFollowThreshold;
}

double ClockTimeAt(double timer) { return timer - g_clockTimerBase + g_secondsOfDay; }

double TimerAt(double clockTime) { return clockTime - g_secondsOfDay + g_clockTimerBase; }

void SplitClockTime(ClockDigits& out, double seconds) {
    // Rounded half away from zero; held inside the 32-bit range, which the
    // clock reaches only after some 68 years of running.
    const double rounded = std::round(seconds);
    const double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
    std::int32_t n =
        static_cast<std::int32_t>(rounded > limit ? limit : (rounded < 0 ? 0 : rounded));

    const std::int32_t days = n / 86400;
    n -= days * 86400;
    const std::int32_t hours = n / 3600;
    n -= hours * 3600;
    const std::int32_t minutes = n / 60;
    const std::int32_t secs = n - minutes * 60;

    out[0] = days / 1000;
    std::int32_t r = days - out[0] * 1000;
    out[1] = r / 100;
    r -= out[1] * 100;
    out[2] = r / 10;
    out[3] = r - out[2] * 10;
    out[4] = hours / 10;
    out[5] = hours % 10;
    out[6] = minutes / 10;
    out[7] = minutes % 10;
    out[8] = secs / 10;
    out[9] = secs % 10;

    for (GlyphCode& d : out.digits) {
        if (d < 0) d = 0;
        if (d > 9) d = 9;
    }
}
