// Display start-up: the application object's constructor, its callbacks
// and the display globals.
#include "host/Application.h"

#include <cstdlib>

#include "host/HostPlatform.h"
#include "host/WindowIcon.h"
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

static void OnWindowSize(GLFWwindow* /*window*/, int width, int height) {
    g_windowWidth = width;
    g_windowHeight = height;
    g_aspectRatio = AspectRatioOf(width, height);
}

// Any key and any mouse button end the screensaver at once.
static void OnKey(GLFWwindow* /*window*/, int /*key*/, int /*scancode*/, int /*action*/,
                  int /*mods*/) {
    std::exit(0);
}

static void OnMouseButton(GLFWwindow* /*window*/, int /*button*/, int /*action*/, int /*mods*/) {
    std::exit(0);
}

// Moving the mouse and turning the wheel never do.
static void OnCursorPos(GLFWwindow* /*window*/, double /*x*/, double /*y*/) {}
static void OnScroll(GLFWwindow* /*window*/, double /*dx*/, double /*dy*/) {}

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
    g_windowWidth = width;
    g_windowHeight = height;
    g_aspectRatio = AspectRatioOf(width, height);
}

static void SetFixedGLState(GLFWwindow* window) {
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthRange(0.0, 1.0);
    glEnable(GL_MULTISAMPLE);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glfwSwapInterval(1);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
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
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
    glfwWindowHint(GLFW_SAMPLES, 4);
    glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
    if (commandLine->mode == MODE_PREVIEW) {
        window = glfwAttachHostWindow(commandLine->hostWindow, nullptr);
    } else {
        window = glfwCreateWindow(g_windowWidth, g_windowHeight, "Tolvane Screensaver",
                                  glfwGetPrimaryMonitor(), nullptr);
    }
    if (window == nullptr) {
        ShowMessageBox("Failed to open window", "Debug", MessageIcon::Information);
        glfwTerminate();
        std::exit(0);
    }

    // 4. Input.
    glfwSetWindowSizeCallback(window, OnWindowSize);
    glfwSetKeyCallback(window, OnKey);
    glfwSetMouseButtonCallback(window, OnMouseButton);
    glfwSetCursorPosCallback(window, OnCursorPos);
    glfwSetScrollCallback(window, OnScroll);

    // 5. Context and GL.
    glfwMakeContextCurrent(window);
    GLFWimage icon{kWindowIconSize, kWindowIconSize, const_cast<unsigned char*>(kWindowIconPixels)};
    glfwSetWindowIcon(window, 1, &icon);
    LoadGLEntryPoints();
    SetFixedGLState(window);
}
