#include "host/CoverWindows.h"

#include <limits>

#include "clock/ClockPicture.h"
#include "clock/ClockScene.h"
#include "host/DisplayWindowSetup.h"
#include "platform/GL.h"

#include <GLFW/glfw3.h>

struct CCoverWindows::Cover {
    Cover(GLFWwindow* handle, int w, int h, int refreshRate)
        : window(handle), width(w), height(h), pacer(refreshRate) {}

    GLFWwindow* window;
    int width;
    int height;
    CFramePacer pacer;
    CRestingPicture cache;
};

namespace {

// Set by GLFW's monitor callback inside the event wait, read after it:
// windows must not be destroyed from a callback.
bool g_monitorsChanged = false;

void OnMonitor(GLFWmonitor* /*monitor*/, int /*event*/) { g_monitorsChanged = true; }

CCoverWindows::Cover* CoverOf(GLFWwindow* window) {
    return static_cast<CCoverWindows::Cover*>(glfwGetWindowUserPointer(window));
}

void OnCoverSize(GLFWwindow* window, int width, int height) {
    CoverOf(window)->width = width;
    CoverOf(window)->height = height;
}

void OnCoverRefresh(GLFWwindow* window) { CoverOf(window)->pacer.RequestRedraw(); }

}  // namespace

CCoverWindows::CCoverWindows(GLFWwindow* display, int refreshRate)
    : display_(display), refreshRate_(refreshRate) {
    glfwSetMonitorCallback(OnMonitor);
}

CCoverWindows::~CCoverWindows() = default;

bool CCoverWindows::Covered(GLFWmonitor* monitor) const {
    if (glfwGetWindowMonitor(display_) == monitor) return true;
    for (const auto& cover : covers_) {
        if (glfwGetWindowMonitor(cover->window) == monitor) return true;
    }
    return false;
}

void CCoverWindows::Open() {
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    bool opened = false;
    for (int i = 0; i < count; ++i) {
        if (Covered(monitors[i])) continue;
        if (!opened) {
            // A full-screen window that loses the focus to a sibling must
            // not iconify (GLFW's default); on Windows a new full-screen
            // window takes the focus as it opens.
            glfwSetWindowAttrib(display_, GLFW_AUTO_ICONIFY, GLFW_FALSE);
            opened = true;
        }
        OpenOn(monitors[i]);
    }
    // The display window keeps the focus it had alone.
    if (opened) glfwFocusWindow(display_);
}

void CCoverWindows::OpenOn(GLFWmonitor* monitor) {
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (mode == nullptr) return;
    SetDisplayWindowHints();
    HintRefreshRateOf(mode);
    glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
    glfwWindowHint(GLFW_CENTER_CURSOR, GLFW_FALSE);
    // A monitor that cannot be covered is left as it is, without the
    // message box that errors of the display window's start-up get.
    GLFWerrorfun reporter = glfwSetErrorCallback(nullptr);
    GLFWwindow* window =
        glfwCreateWindow(mode->width, mode->height, "Tolvane Screensaver", monitor, display_);
    glfwSetErrorCallback(reporter);
    glfwDefaultWindowHints();
    if (window == nullptr) return;

    covers_.push_back(std::make_unique<Cover>(window, mode->width, mode->height, refreshRate_));
    glfwSetWindowUserPointer(window, covers_.back().get());
    glfwSetWindowSizeCallback(window, OnCoverSize);
    glfwSetWindowRefreshCallback(window, OnCoverRefresh);
    SetupDisplayWindow(window);
    glfwMakeContextCurrent(window);
    SetFixedGLState(0);
    glfwMakeContextCurrent(display_);
}

void CCoverWindows::Draw(double frameBegin) {
    bool drew = false;
    for (const auto& cover : covers_) {
        const ClockPicture picture = CurrentClockPicture(cover->width, cover->height);
        if (!cover->pacer.ShouldDraw(picture, frameBegin)) continue;
        glfwMakeContextCurrent(cover->window);
        DrawClockFrameInto(cover->width, cover->height, &cover->cache);
        glfwSwapBuffers(cover->window);
        cover->pacer.Presented(picture, frameBegin);
        drew = true;
    }
    if (drew) glfwMakeContextCurrent(display_);
}

double CCoverWindows::RestTime(double now, double nextChange) const {
    double rest = std::numeric_limits<double>::infinity();
    for (const auto& cover : covers_) {
        const double own = cover->pacer.RestTime(now, nextChange, false);
        if (own < rest) rest = own;
    }
    return rest;
}

bool CCoverWindows::CloseRequested() const {
    for (const auto& cover : covers_) {
        if (glfwWindowShouldClose(cover->window)) return true;
    }
    return false;
}

void CCoverWindows::FollowMonitors() {
    if (!g_monitorsChanged) return;
    g_monitorsChanged = false;
    // GLFW turns a full-screen window whose monitor is gone into a plain
    // window at the top left of the desktop.
    for (std::size_t i = covers_.size(); i-- > 0;) {
        if (glfwGetWindowMonitor(covers_[i]->window) == nullptr) CloseCover(i);
    }
    if (glfwGetWindowMonitor(display_) == nullptr) MoveDisplayToPrimary();
    Open();
}

void CCoverWindows::CloseCover(std::size_t index) {
    Cover& cover = *covers_[index];
    glfwMakeContextCurrent(cover.window);
    cover.cache.Release();
    glfwMakeContextCurrent(display_);
    glfwDestroyWindow(cover.window);
    covers_.erase(covers_.begin() + static_cast<std::ptrdiff_t>(index));
}

void CCoverWindows::MoveDisplayToPrimary() {
    GLFWmonitor* primary = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = primary != nullptr ? glfwGetVideoMode(primary) : nullptr;
    if (mode == nullptr) return;  // no monitor left at all: nothing to move to
    for (std::size_t i = covers_.size(); i-- > 0;) {
        if (glfwGetWindowMonitor(covers_[i]->window) == primary) CloseCover(i);
    }
    glfwSetWindowMonitor(display_, primary, 0, 0, mode->width, mode->height, mode->refreshRate);
}
