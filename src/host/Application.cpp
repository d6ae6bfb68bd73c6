// Display start-up: the application object's constructor and its callbacks.
#include "host/Application.h"

#include <cstdlib>

#include "host/ClockWindows.h"
#include "host/DisplayWindowSetup.h"
#include "host/FullScreenWindow.h"
#include "host/HostPlatform.h"
#include "host/glfw_attach.h"
#include "platform/GL.h"
#include "platform/MessageBox.h"

GLFWApplication* g_application = nullptr;

// Without a primary monitor or video mode (no screen at all) the size that
// older Windows versions get is as good as any.
static constexpr int kFallbackWidth = 1280;
static constexpr int kFallbackHeight = 768;

const GLFWvidmode* PrimaryVideoMode() {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    return monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
}

// ---- callbacks -------------------------------------------------------------

static void OnError(int /*code*/, const char* description) {
    ShowMessageBox(description, "Error", MessageIcon::Information);
}

// ---- start-up --------------------------------------------------------------

namespace {

void ChooseDrawingSize(const CCommandLine& commandLine, int* width, int* height) {
    if (commandLine.mode == MODE_PREVIEW) {
        if (!GetHostClientSize(commandLine.hostWindow, width, height)) *width = *height = 0;
    } else if (WindowsVersionNumber() >= 60) {
        const GLFWvidmode* mode = PrimaryVideoMode();
        *width = mode != nullptr ? mode->width : kFallbackWidth;
        *height = mode != nullptr ? mode->height : kFallbackHeight;
    } else {
        *width = kFallbackWidth;
        *height = kFallbackHeight;
    }
}

// The primary monitor's current refresh rate; 0 when it reports none.
int DisplayRefreshRate() {
    const GLFWvidmode* mode = PrimaryVideoMode();
    return mode != nullptr ? mode->refreshRate : 0;
}

}  // namespace

GLFWApplication::GLFWApplication(CCommandLine* launch, std::optional<FrameOutputKind> output)
    : commandLine(launch) {
    // 1. Library.
    glfwSetErrorCallback(OnError);
    if (!glfwInit()) {
        // Start-up goes on: opening the window fails next, and that path
        // ends the process cleanly.
        ShowMessageBox("Failed to initialize GLFW", "Debug", MessageIcon::Information);
    }

    // 2. Drawing size, and how the frames reach the window: its sample
    // count depends on it.
    int width = 0;
    int height = 0;
    ChooseDrawingSize(*commandLine, &width, &height);
    const FrameOutputKind kind = output ? *output : ChooseFrameOutput();

    // 3. Window.
    if (commandLine->mode == MODE_PREVIEW) {
        SetDisplayWindowHints(kind);
        window = glfwAttachHostWindow(commandLine->hostWindow, nullptr);
    } else {
        // The monitor keeps its current mode, the rate included. The size of
        // Windows before 6.0 asks for the same rate: of the modes of that
        // size, the one nearest to the rate the owner chose.
        FullScreenRequest request;
        request.monitor = glfwGetPrimaryMonitor();
        request.mode = PrimaryVideoMode();
        request.width = width;
        request.height = height;
        request.output = kind;
        window = OpenFullScreenClockWindow(request);
    }
    if (window == nullptr) {
        ShowMessageBox("Failed to open window", "Debug", MessageIcon::Information);
        glfwTerminate();
        std::exit(0);
    }

    // 4. The window's record, which stores the display globals and follows
    // its size; input.
    windows = new CClockWindows(window, width, height, DisplayRefreshRate(), kind);
    SetupDisplayWindow(window);

    // 5. Context and GL.
    glfwMakeContextCurrent(window);
    LoadGLEntryPoints();
    SetFixedGLState(1);
}
