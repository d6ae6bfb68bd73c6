// The main loop's pacing: draw only a picture that differs from the last one
// presented (or that the window system asked for), begin frames no more often
// than the display refreshes, and rest between changes instead of spinning.
//
// Portable: the loop feeds it timer readings (seconds, glfwGetTime) and the
// clock's picture; it calls no library itself.
#pragma once

#include "clock/ClockPicture.h"

class CFramePacer {
public:
    // refreshRate: the display's refreshes per second; 0 or less when the
    // display does not say, which counts as 60.
    explicit CFramePacer(int refreshRate);

    // The window system needs the picture again (expose, refresh).
    void RequestRedraw() { redrawRequested_ = true; }

    // Whether the iteration that began at timer reading now draws: nothing
    // presented yet; or a redraw was asked for or the picture differs from
    // the last one presented, and the next frame slot has come.
    bool ShouldDraw(const ClockPicture& picture, double now) const;

    // A frame showing picture, begun at frameBegin, went to the swap.
    void Presented(const ClockPicture& picture, double frameBegin);

    // The timer reading to wait for events until, for the iteration that
    // began at timer reading now, when the picture can next change at
    // nextChange (timer seconds; now itself while a flap falls). Never
    // before the next frame slot; in preview at most kPreviewPoll after
    // now, since the host window's state is polled. Now or earlier: do not
    // wait.
    double WakeTime(double now, double nextChange, bool preview) const;

    static constexpr double kPreviewPoll = 0.1;

private:
    double interval_;
    bool presentedAny_ = false;
    bool redrawRequested_ = false;
    ClockPicture presented_;
    // Frames begin on a cadence of one refresh interval, so a driver whose
    // swap returns at once still shows no more frames than the display, and
    // one whose swap waits for the vertical blank keeps its full rate.
    double nextSlot_ = 0.0;
};
