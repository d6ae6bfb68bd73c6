// The full-screen windows on every monitor but the display window's: the
// same clock, scaled to each monitor, flipping on the same frames.
//
// One thread draws them all. Each window has a context of its own that
// shares the display window's GL objects (textures, buffers, programs are
// made once), its own background cache (framebuffers are not shared) and
// its own pacer, so a resting window draws nothing. Only the display
// window's swap waits for the vertical retrace; the others' return at once.
//
// Lifecycle, driven by the main loop of a full-screen mode:
//   Open         once, with the clock scene set up: a window on each
//                monitor that has none
//   Draw         every iteration, after the display window's frame
//   RestTime     joins the display window's rest
//   FollowMonitors after the wait: when a monitor came or went, windows on
//                monitors that are gone are closed, new monitors covered,
//                and a display window left without its monitor is moved to
//                the primary one
//   shutdown     the windows are left to process exit, as the display
//                window is
#pragma once

#include <memory>
#include <vector>

#include "clock/RestingPicture.h"
#include "host/FramePacer.h"

struct GLFWmonitor;
struct GLFWwindow;

class CCoverWindows {
public:
    // display: the display window, whose context is current and whose
    // objects the covers share; refreshRate as for its pacer.
    CCoverWindows(GLFWwindow* display, int refreshRate);
    ~CCoverWindows();  // the windows stay open until process exit
    CCoverWindows(const CCoverWindows&) = delete;
    CCoverWindows& operator=(const CCoverWindows&) = delete;

    void Open();

    // Draws and swaps each window whose picture changed, the iteration
    // having begun at timer reading frameBegin; the display window's
    // context is current again afterwards.
    void Draw(double frameBegin);

    // The shortest rest of the windows (as CFramePacer::RestTime); a long
    // one when there are none.
    double RestTime(double now, double nextChange) const;

    // A close request on any of the windows.
    bool CloseRequested() const;

    void FollowMonitors();

    struct Cover;  // one window, its size, pacer and background cache

private:
    bool Covered(GLFWmonitor* monitor) const;
    void OpenOn(GLFWmonitor* monitor);
    void CloseCover(std::size_t index);
    void MoveDisplayToPrimary();

    GLFWwindow* display_;
    int refreshRate_;
    std::vector<std::unique_ptr<Cover>> covers_;
};
