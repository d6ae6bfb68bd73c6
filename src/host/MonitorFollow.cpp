#include "host/MonitorFollow.h"

#include "host/ClockWindows.h"
#include "host/DisplayWindowSetup.h"
#include "host/FullScreenWindow.h"
#include "platform/GL.h"

#include <GLFW/glfw3.h>

namespace {

// Set by GLFW's monitor callback inside the event wait, read after it:
// windows must not be destroyed from a callback.
bool g_monitorsChanged = false;

void OnMonitor(GLFWmonitor* /*monitor*/, int /*event*/) { g_monitorsChanged = true; }

}  // namespace

CMonitorFollow::CMonitorFollow(CClockWindows& windows) : windows_(windows) {
    g_monitorsChanged = false;
    glfwSetMonitorCallback(OnMonitor);
}

CMonitorFollow::~CMonitorFollow() { glfwSetMonitorCallback(nullptr); }

bool CMonitorFollow::Covered(GLFWmonitor* monitor) const {
    for (std::size_t i = 0; i < windows_.Count(); ++i) {
        if (glfwGetWindowMonitor(windows_.Window(i)) == monitor) return true;
    }
    return false;
}

void CMonitorFollow::CoverAll() {
    GLFWwindow* display = windows_.Display();
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    bool opened = false;
    for (int i = 0; i < count; ++i) {
        if (Covered(monitors[i])) continue;
        OpenOn(monitors[i]);
        opened = true;
    }
    // The display window keeps the focus it had alone; on Windows a new
    // full-screen window takes the focus as it opens.
    if (opened) glfwFocusWindow(display);
}

void CMonitorFollow::OpenOn(GLFWmonitor* monitor) {
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (mode == nullptr) return;
    GLFWwindow* display = windows_.Display();
    FullScreenRequest request;
    request.monitor = monitor;
    request.mode = mode;
    request.width = mode->width;
    request.height = mode->height;
    request.share = display;
    request.takeFocus = false;
    request.output = windows_.OutputKind();
    // A monitor that cannot be covered is left as it is, without the
    // message box that errors of the display window's start-up get.
    GLFWerrorfun reporter = glfwSetErrorCallback(nullptr);
    GLFWwindow* window = OpenFullScreenClockWindow(request);
    glfwSetErrorCallback(reporter);
    if (window == nullptr) return;

    SetupDisplayWindow(window);
    glfwMakeContextCurrent(window);
    SetFixedGLState(0);
    glfwMakeContextCurrent(display);
    windows_.Add(window, mode->width, mode->height, mode->refreshRate);
}

void CMonitorFollow::Follow() {
    if (!g_monitorsChanged) return;
    g_monitorsChanged = false;
    // GLFW turns a full-screen window whose monitor is gone into a plain
    // window at the top left of the desktop.
    for (std::size_t i = windows_.Count(); i-- > 1;) {
        if (glfwGetWindowMonitor(windows_.Window(i)) == nullptr) windows_.Close(i);
    }
    if (glfwGetWindowMonitor(windows_.Display()) == nullptr) MoveDisplayToPrimary();
    CoverAll();
}

void CMonitorFollow::MoveDisplayToPrimary() {
    GLFWmonitor* primary = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = primary != nullptr ? glfwGetVideoMode(primary) : nullptr;
    if (mode == nullptr) return;  // no monitor left at all: nothing to move to
    for (std::size_t i = windows_.Count(); i-- > 1;) {
        if (glfwGetWindowMonitor(windows_.Window(i)) == primary) windows_.Close(i);
    }
    MoveFullScreenClockWindow(windows_.Display(), primary, *mode);
    windows_.Moved(mode->refreshRate);
}
