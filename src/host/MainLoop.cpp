// The main loop and the frame step.
//
// Lifecycle:
//   set-up    SetupClockScene, once, with the context current; in the
//             full-screen modes a window on every other monitor
//             (CoverWindows.h), drawn on the same iterations
//   iteration AdvanceFrame (frame time, clock update) every time; then, only
//             when the picture differs from the last one presented or the
//             window system asked for it, the drawing and the swap; then a
//             wait for events until the picture can next change (at once
//             while a flap falls), never sooner than the next frame slot
//             of the display's refresh; a key or mouse button ends the
//             process inside that wait
//   exit      a close request on any window, or in preview a host window
//             that is no longer enabled (polled at least every 100 ms)
//   shutdown  the click player is released; the windows, GL objects and
//             GLFW are left to process exit
#include <algorithm>

#include "clock/ClockPicture.h"
#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "host/Application.h"
#include "host/CoverWindows.h"
#include "host/FramePacer.h"
#include "host/HostPlatform.h"
#include "platform/DisplayGlobals.h"
#include "render/SceneState.h"
#include "sound/DirectSound.h"

#include <GLFW/glfw3.h>

namespace {

CFramePacer* g_framePacer = nullptr;

// Expose, and on Windows WM_PAINT: what was shown is gone.
void OnWindowRefresh(GLFWwindow* /*window*/) {
    if (g_framePacer != nullptr) g_framePacer->RequestRedraw();
}

// The primary monitor's current refresh rate; 0 when it reports none.
int DisplayRefreshRate() {
    const GLFWvidmode* mode = PrimaryVideoMode();
    return mode != nullptr ? mode->refreshRate : 0;
}

// Waits shorter than this are polled instead: with Windows' default timer
// tick of 15.6 ms a short timed wait can oversleep a whole frame, and where
// the swap waits for the vertical blank the remainder is only jitter.
constexpr double kShortestWait = 0.002;

void WaitForEvents(double seconds) {
    if (seconds >= kShortestWait) {
        glfwWaitEventsTimeout(seconds);
    } else {
        glfwPollEvents();
    }
}

}  // namespace

double AdvanceFrame() {
    const float t = static_cast<float>(glfwGetTime());
    g_sceneState->SetFrameTime(t);
    return UpdateClockFrame();
}

void GLFWApplication::Run() {
    SetupClockScene();
    const int refreshRate = DisplayRefreshRate();
    CFramePacer pacer(refreshRate);
    g_framePacer = &pacer;
    glfwSetWindowRefreshCallback(window, OnWindowRefresh);
    const bool preview = commandLine->mode == MODE_PREVIEW;
    // The preview and the xscreensaver handover draw into the one window
    // they are given.
    CCoverWindows covers(window, refreshRate);
    if (!preview) covers.Open();

    bool keepRunning = true;
    do {
        const double frameBegin = glfwGetTime();
        const double clockTime = AdvanceFrame();
        const ClockPicture picture = CurrentClockPicture(g_windowWidth, g_windowHeight);
        if (pacer.ShouldDraw(picture, frameBegin)) {
            DrawClockFrame();
            glfwSwapBuffers(window);
            pacer.Presented(picture, frameBegin);
        }
        covers.Draw(frameBegin);
        const double now = glfwGetTime();
        const double nextChange = NextPictureChange(clockTime) - g_secondsOfDay;
        WaitForEvents(
            std::min(pacer.RestTime(now, nextChange, preview), covers.RestTime(now, nextChange)));
        covers.FollowMonitors();

        if (glfwWindowShouldClose(window) || covers.CloseRequested()) keepRunning = false;
        if (preview && !TrackHostWindow(window, commandLine->hostWindow)) break;
    } while (keepRunning);

    glfwSetWindowRefreshCallback(window, nullptr);
    g_framePacer = nullptr;

    // Shutdown: only the click player is released; process exit takes the
    // window, the GL objects and GLFW.
    if (g_clickSound != nullptr) delete g_clickSound;
}
