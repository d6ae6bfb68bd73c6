// The main loop and the frame step.
//
// Lifecycle:
//   set-up    SetupClockScene, once, with the context current; the windows
//             the clock is drawn into (ClockWindows.h): the display window,
//             whose record the application made, and in the full-screen
//             modes a window on every other monitor, which follows the
//             monitors (MonitorFollow.h)
//   iteration one timer reading; AdvanceFrame (frame time, clock update)
//             at it every time; then, for each window whose picture differs
//             from the last one it presented or that the window system
//             asked for it, the drawing (RenderClockFrame) on its frame
//             output and presenting through that (FrameOutputs.h: a swap,
//             or the changed rectangle);
//             then a wait for events until the picture can next change (at
//             once while a flap falls), never sooner than the window's next
//             frame slot of its monitor's refresh; a key or mouse button
//             ends the process inside that wait.
//             While nobody can see the display (DisplayWatch.h), none of
//             that: no clock update, no drawing, no present, only a wait
//             until the next question to the server (X11) or a message
//             (Windows), in preview no longer than the host's poll; when it
//             comes back the clock takes the time of day again, every tile
//             at rest, and every window draws a whole frame
//   exit      a close request on any window, or in preview a host window
//             that is no longer enabled (polled at least every 100 ms); in
//             full screen, another program taking the foreground ends the
//             process as a key does
//   shutdown  the click player is released; the windows, GL objects and
//             GLFW are left to process exit
#include <cmath>
#include <cstdlib>
#include <optional>

#include "clock/ClockScene.h"
#include "host/Application.h"
#include "host/ClockWindows.h"
#include "host/DisplayWatch.h"
#include "host/FullScreenEffects.h"
#include "host/HostPlatform.h"
#include "host/MonitorFollow.h"
#include "render/SceneState.h"
#include "sound/DirectSound.h"

#include <GLFW/glfw3.h>

namespace {

// Waits shorter than this are polled instead: with Windows' default timer
// tick of 15.6 ms a short timed wait can oversleep a whole frame, and where
// the swap waits for the vertical blank the remainder is only jitter.
constexpr double kShortestWait = 0.002;

// The wait reads the timer itself: the drawing since the iteration's
// reading can take a good part of a refresh, which the wait must not add.
void WaitForEventsUntil(double wake) {
    const double seconds = wake - glfwGetTime();
    if (std::isinf(seconds)) {
        glfwWaitEvents();
    } else if (seconds >= kShortestWait) {
        glfwWaitEventsTimeout(seconds);
    } else {
        glfwPollEvents();
    }
}

}  // namespace

double AdvanceFrame(double timer) {
    g_sceneState->SetFrameTime(static_cast<float>(timer));
    return UpdateClockFrame(timer);
}

void GLFWApplication::Run() {
    SetupClockScene();
    const bool preview = commandLine->mode == MODE_PREVIEW;
    // Only full screen holds the monitors and ends when another program
    // takes the foreground; the preview and the handover draw into their
    // host, whatever the monitors and the focus do.
    std::optional<CMonitorFollow> monitors;
    if (!preview) {
        monitors.emplace(*windows);
        monitors->CoverAll();
    }

    CDisplayWatch display(WatchDisplayPower(window), DisplayCanBeSeen);
    bool keepRunning = true;
    do {
        // One reading of the timer for the frame: its time, the clock's
        // update, the pacing of every window.
        const double now = glfwGetTime();
        if (display.Check(now) == DisplayTurn::CameBack) {
            // As after a step of the wall clock: the time now, no flips
            // through the seconds that passed; and what the windows showed
            // before is not taken as still shown.
            RetakeTimeOfDay(now);
            windows->ShownLost();
        }
        if (display.Dark()) {
            WaitForEventsUntil(display.DarkWake(now, preview));
        } else {
            const double nextChange = AdvanceFrame(now);
            windows->Draw(now);
            WaitForEventsUntil(windows->WakeTime(now, nextChange, preview));
        }
        if (monitors) {
            monitors->Follow();
            // As a key does: at once, with exit code 0.
            if (windows->FocusLeft() && AnotherProgramHasFocus()) std::exit(0);
        }

        if (windows->CloseRequested()) keepRunning = false;
        const ClockView& view = windows->Record(0).view;
        if (preview && !TrackHostWindow(window, commandLine->hostWindow, view.width, view.height)) {
            break;
        }
    } while (keepRunning);

    // Shutdown: only the click player is released; process exit takes the
    // windows, the GL objects and GLFW.
    if (g_clickSound != nullptr) delete g_clickSound;
}
