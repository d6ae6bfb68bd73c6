// The full-screen modes' hold on the monitors: a window on every monitor but
// the display window's, at that monitor's current video mode, showing the
// same clock scaled to it; when monitors come and go, the windows of those
// gone are closed, new ones covered, and a display window left without its
// monitor is moved to the primary one.
//
// Only the full-screen modes make one. The preview and the xscreensaver
// handover draw into the one window they are given, at its size, whatever
// the monitors do: nothing there listens to them.
//
// Lifecycle, in the main loop of a full-screen mode:
//   CoverAll  once, with the clock scene set up
//   Follow    after each wait for events, in which GLFW reports the changes
#pragma once

struct GLFWmonitor;
class CClockWindows;

class CMonitorFollow {
public:
    // windows: the loop's windows, the display window full screen on its
    // monitor; the follow adds and closes the others.
    explicit CMonitorFollow(CClockWindows& windows);
    ~CMonitorFollow();
    CMonitorFollow(const CMonitorFollow&) = delete;
    CMonitorFollow& operator=(const CMonitorFollow&) = delete;

    // A window on each monitor that has none.
    void CoverAll();

    // Acts on the monitor changes reported since the last call, if any.
    void Follow();

private:
    bool Covered(GLFWmonitor* monitor) const;
    void OpenOn(GLFWmonitor* monitor);
    void MoveDisplayToPrimary();

    CClockWindows& windows_;
};
