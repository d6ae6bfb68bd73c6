#include "host/FramePacer.h"

#include <algorithm>

namespace {
constexpr int kDefaultRefreshRate = 60;
// Waking just after an instant of change, not just before it: some event
// waits round their timeout down to whole milliseconds.
constexpr double kWakeMargin = 0.001;
}  // namespace

CFramePacer::CFramePacer(int refreshRate)
    : interval_(1.0 / (refreshRate > 0 ? refreshRate : kDefaultRefreshRate)) {}

bool CFramePacer::ShouldDraw(const ClockPicture& picture, double now) const {
    if (!presentedAny_) return true;
    if (now < nextSlot_) return false;
    return redrawRequested_ || picture != presented_;
}

void CFramePacer::Presented(const ClockPicture& picture, double frameBegin) {
    // On cadence the slots move on by one interval; a frame that begins a
    // whole interval or more after its slot (after a rest) starts a new one.
    if (presentedAny_ && frameBegin - nextSlot_ < interval_) {
        nextSlot_ += interval_;
    } else {
        nextSlot_ = frameBegin + interval_;
    }
    presented_ = picture;
    presentedAny_ = true;
    redrawRequested_ = false;
}

double CFramePacer::WakeTime(double now, double nextChange, bool preview) const {
    double until = presentedAny_ ? nextSlot_ : now;
    if (!redrawRequested_ && nextChange > now) until = std::max(until, nextChange + kWakeMargin);
    if (preview) until = std::min(until, now + kPreviewPoll);
    return until;
}
