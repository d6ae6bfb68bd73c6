// What the window library does to the system for a full-screen window, and
// the undoing of what a screensaver must not do.
//
// GLFW's full-screen windows are made for games: as a window takes its
// monitor the library keeps the display awake, switches mouse trails off
// (Windows) or the X server's screen saver off (X11), refuses the system's
// display power-off, and iconifies a window that loses the focus; it gives
// the settings back only when the window is destroyed or the library ends,
// which a screensaver, ending through exit or a signal, never does. The
// library stays as it is; these functions undo its side effects around the
// few calls through which it takes a monitor.
//
// Implemented by FullScreenEffects_win32.cpp and FullScreenEffects_x11.cpp:
//   Windows  no execution-state request is left standing and mouse trails
//            are put back as each taking returns; the display's power-off
//            reaches the system's default handling (SC_SCREENSAVE stays
//            refused); nothing is left to give back at exit.
//   X11      the server's screen saver stays off while the clock runs (the
//            server's blanking must not cover it); the user's timeout,
//            interval, blanking and exposures are given back at exit and on
//            SIGTERM, SIGINT and SIGHUP, which then end the process with
//            exit code 0. A lost display connection leaves nothing to give.
#pragma once

struct GLFWwindow;

// Called just before and just after every library call that can make a
// window take a monitor (creating a full-screen window, moving one to
// another monitor); CMonitorTakeover brackets such a call.
void BeforeTakingMonitor();
void AfterTakingMonitor();

class CMonitorTakeover {
public:
    CMonitorTakeover() { BeforeTakingMonitor(); }
    ~CMonitorTakeover() { AfterTakingMonitor(); }
    CMonitorTakeover(const CMonitorTakeover&) = delete;
    CMonitorTakeover& operator=(const CMonitorTakeover&) = delete;
};

// Once for each full-screen window, as it opens: what the library does
// later, from inside its window procedure, is undone there too.
void WatchFullScreenWindow(GLFWwindow* window);
