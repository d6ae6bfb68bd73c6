// The main loop and the frame step.
//
// Lifecycle:
//   set-up    SetupClockScene, once, with the context current
//   frame     AdvanceFrame (frame time, clock frame), swap, poll events;
//             a key or mouse button ends the process inside the poll
//   exit      after a swapped frame: a close request, or in preview a host
//             window that is no longer enabled
//   shutdown  the click player is released; the window, GL objects and
//             GLFW are left to process exit
#include "clock/ClockScene.h"
#include "host/Application.h"
#include "host/HostPlatform.h"
#include "render/SceneState.h"
#include "sound/DirectSound.h"

#include <GLFW/glfw3.h>

void AdvanceFrame() {
    const float t = static_cast<float>(glfwGetTime());
    g_sceneState->SetFrameTime(t);
    RenderClockFrame();
}

void GLFWApplication::Run() {
    SetupClockScene();
    bool keepRunning = true;
    do {
        AdvanceFrame();
        glfwSwapBuffers(window);
        glfwPollEvents();
        if (glfwWindowShouldClose(window)) keepRunning = false;
        if (commandLine->mode == MODE_PREVIEW) {
            if (!TrackHostWindow(window, commandLine->hostWindow)) break;
        }
    } while (keepRunning);

    // Shutdown: only the click player is released; process exit takes the
    // window, the GL objects and GLFW.
    if (g_clickSound != nullptr) delete g_clickSound;
}
