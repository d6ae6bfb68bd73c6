// Every window the clock is drawn into, the display window first, drawn by
// one loop: each with one record of all that concerns it (its size and
// view, its pacer, its frame output), so a resting window draws nothing
// and a window that must draw draws alone.
//
// The display window's size is also the display globals (g_windowWidth,
// g_windowHeight, g_aspectRatio): its record stores them, at start-up and
// from its size callback. The other windows have contexts of their own that
// share the display window's GL objects (textures, buffers, programs are
// made once); framebuffers are not shared, so each window's output keeps
// its own. Each window is paced at its own monitor's refresh rate. Only the
// display window's swap waits for the vertical retrace; the others' return
// at once, as a presented rectangle does.
//
// Lifecycle:
//   construction  by the application, as the display window opens: its
//                 record and its callbacks (size, refresh, focus)
//   Add, Close    other windows, as the full-screen modes' monitor follow
//                 opens and closes them (MonitorFollow.h); Moved, the
//                 display window taken to another monitor
//   Draw          every iteration
//   WakeTime      the end of the wait before the next iteration
//   destruction   the records go; the windows are left to process exit
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "clock/FlipTiles.h"
#include "host/FrameOutputs.h"
#include "host/FramePacer.h"

struct GLFWwindow;

// The display window, whose size is the display globals, or another.
enum class WindowRole : std::uint8_t { Display, Other };

// One window the clock is drawn into.
struct CClockWindow {
    CClockWindow(GLFWwindow* handle, int width, int height, int refreshRate, WindowRole role,
                 FrameOutputKind kind);

    // The window's size changed: its view follows, and the display
    // window's size is the display globals.
    void Resize(int width, int height);

    GLFWwindow* window;
    ClockView view;  // its size, and the viewport and projection of its frames
    CFramePacer pacer;
    std::unique_ptr<CFrameOutput> output;
    WindowRole role;
};

class CClockWindows {
public:
    // display: the display window of width x height; refreshRate, its
    // monitor's, as for CFramePacer; kind, the frame output of every window.
    CClockWindows(GLFWwindow* display, int width, int height, int refreshRate,
                  FrameOutputKind kind);
    ~CClockWindows();
    CClockWindows(const CClockWindows&) = delete;
    CClockWindows& operator=(const CClockWindows&) = delete;

    // Draws another window from now on: a window of width x height on a
    // monitor refreshing refreshRate times a second, whose context shares
    // the display window's objects and has the fixed GL state.
    void Add(GLFWwindow* window, int width, int height, int refreshRate);

    // What every window's frames are drawn through.
    FrameOutputKind OutputKind() const { return kind_; }

    // The display window is now on a monitor refreshing refreshRate times a
    // second; it is drawn anew.
    void Moved(int refreshRate);

    // Stops drawing window index (not the display window, 0) and destroys it.
    void Close(std::size_t index);

    std::size_t Count() const { return windows_.size(); }
    CClockWindow& Record(std::size_t index) { return *windows_[index]; }
    GLFWwindow* Window(std::size_t index) const { return windows_[index]->window; }
    GLFWwindow* Display() const { return windows_.front()->window; }

    // Draws and presents each window whose picture changed, the iteration
    // having begun at timer reading frameBegin; the display window's
    // context is current again afterwards.
    void Draw(double frameBegin);

    // What every window showed is gone: each draws a whole frame next.
    void ShownLost();

    // The earliest wake-up of the windows (as CFramePacer::WakeTime).
    double WakeTime(double frameBegin, double nextChange, bool preview) const;

    // A close request on any of the windows.
    bool CloseRequested() const;

    // Whether none of the windows has the focus, one of them having lost it
    // since one last had it. Asks the window system only after such a loss.
    bool FocusLeft();

private:
    void Track(CClockWindow* record);

    FrameOutputKind kind_;
    std::vector<std::unique_ptr<CClockWindow>> windows_;
};
