#include "host/FullScreenWindow.h"

#include "host/DisplayWindowSetup.h"
#include "host/FullScreenEffects.h"

#include <GLFW/glfw3.h>

GLFWwindow* OpenFullScreenClockWindow(const FullScreenRequest& request) {
    // Each window starts from the library's defaults, so nothing an earlier
    // creation hinted is carried over.
    glfwDefaultWindowHints();
    SetDisplayWindowHints(request.output);
    HintRefreshRateOf(request.mode);
    // A full-screen window that loses the focus must not iconify (the
    // library's default), neither to a sibling nor to another program.
    glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
    if (!request.takeFocus) {
        glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
        glfwWindowHint(GLFW_CENTER_CURSOR, GLFW_FALSE);
    }
    GLFWwindow* window = nullptr;
    {
        CMonitorTakeover takeover;
        window = glfwCreateWindow(request.width, request.height, "Tolvane Screensaver",
                                  request.monitor, request.share);
    }
    if (window != nullptr) WatchFullScreenWindow(window);
    return window;
}

void MoveFullScreenClockWindow(GLFWwindow* window, GLFWmonitor* monitor, const GLFWvidmode& mode) {
    CMonitorTakeover takeover;
    glfwSetWindowMonitor(window, monitor, 0, 0, mode.width, mode.height, mode.refreshRate);
}
