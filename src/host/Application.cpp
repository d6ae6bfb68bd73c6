// Display start-up: the application object's constructor, its callbacks
// and the display globals.
#include "host/Application.h"

#include <cstdlib>

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

// Until the main loop's window list takes over, writing the same globals.
static void OnWindowSize(GLFWwindow* /*window*/, int width, int height) {
    StoreDisplaySize(width, height);
}

// ---- start-up --------------------------------------------------------------

static void ChooseDrawingSize(const CCommandLine& commandLine) {
    int width = 0;
    int height = 0;
    if (commandLine.mode == MODE_PREVIEW) {
        if (!GetHostClientSize(commandLine.hostWindow, &width, &height)) width = height = 0;
    } else if (WindowsVersionNumber() >= 60) {
        const GLFWvidmode* mode = PrimaryVideoMode();
        width = mode != nullptr ? mode->width : kFallbackWidth;
        height = mode != nullptr ? mode->height : kFallbackHeight;
    } else {
        width = kFallbackWidth;
        height = kFallbackHeight;
    }
    StoreDisplaySize(width, height);
}

GLFWApplication::GLFWApplication(CCommandLine* launch) : commandLine(launch) {
    // 1. Library.
    glfwSetErrorCallback(OnError);
    if (!glfwInit()) {
        // Start-up goes on: opening the window fails next, and that path
        // ends the process cleanly.
        ShowMessageBox("Failed to initialize GLFW", "Debug", MessageIcon::Information);
    }

    // 2. Drawing size.
    ChooseDrawingSize(*commandLine);

    // 3. Window.
    if (commandLine->mode == MODE_PREVIEW) {
        SetDisplayWindowHints();
        window = glfwAttachHostWindow(commandLine->hostWindow, nullptr);
    } else {
        // The monitor keeps its current mode, the rate included. The size of
        // Windows before 6.0 asks for the same rate: of the modes of that
        // size, the one nearest to the rate the owner chose.
        FullScreenRequest request;
        request.monitor = glfwGetPrimaryMonitor();
        request.mode = PrimaryVideoMode();
        request.width = g_windowWidth;
        request.height = g_windowHeight;
        window = OpenFullScreenClockWindow(request);
    }
    if (window == nullptr) {
        ShowMessageBox("Failed to open window", "Debug", MessageIcon::Information);
        glfwTerminate();
        std::exit(0);
    }

    // 4. Input.
    glfwSetWindowSizeCallback(window, OnWindowSize);
    SetupDisplayWindow(window);

    // 5. Context and GL.
    glfwMakeContextCurrent(window);
    LoadGLEntryPoints();
    SetFixedGLState(1);
}
