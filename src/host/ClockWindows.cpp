#include "host/ClockWindows.h"

#include <algorithm>
#include <limits>

#include "clock/ClockPicture.h"
#include "clock/ClockScene.h"
#include "platform/DisplayGlobals.h"

#include <GLFW/glfw3.h>

namespace {

CClockWindow* RecordOf(GLFWwindow* window) {
    return static_cast<CClockWindow*>(glfwGetWindowUserPointer(window));
}

void OnSize(GLFWwindow* window, int width, int height) {
    CClockWindow* record = RecordOf(window);
    if (record == nullptr) return;
    record->width = width;
    record->height = height;
    if (record->display) StoreDisplaySize(width, height);
}

// Set by a window's loss of the focus inside the event wait; cleared once
// one of the windows has it again.
bool g_focusLost = false;

void OnFocus(GLFWwindow* /*window*/, int focused) {
    if (!focused) g_focusLost = true;
}

// Expose, and on Windows WM_PAINT: what was shown is gone.
void OnRefresh(GLFWwindow* window) {
    CClockWindow* record = RecordOf(window);
    if (record == nullptr) return;
    record->pacer.RequestRedraw();
    record->cache.ShownLost();
}

}  // namespace

CClockWindows::CClockWindows(GLFWwindow* display, int refreshRate) {
    windows_.push_back(
        std::make_unique<CClockWindow>(display, g_windowWidth, g_windowHeight, refreshRate, true));
    Track(windows_.back().get());
}

CClockWindows::~CClockWindows() {
    for (const auto& record : windows_) glfwSetWindowUserPointer(record->window, nullptr);
}

void CClockWindows::Track(CClockWindow* record) {
    glfwSetWindowUserPointer(record->window, record);
    glfwSetWindowSizeCallback(record->window, OnSize);
    glfwSetWindowRefreshCallback(record->window, OnRefresh);
    glfwSetWindowFocusCallback(record->window, OnFocus);
}

void CClockWindows::Add(GLFWwindow* window, int width, int height, int refreshRate) {
    windows_.push_back(std::make_unique<CClockWindow>(window, width, height, refreshRate, false));
    Track(windows_.back().get());
}

void CClockWindows::Moved(int refreshRate) { windows_.front()->pacer = CFramePacer(refreshRate); }

void CClockWindows::Close(std::size_t index) {
    if (index == 0 || index >= windows_.size()) return;
    CClockWindow& record = *windows_[index];
    // A framebuffer belongs to its context alone.
    glfwMakeContextCurrent(record.window);
    record.cache.Release();
    glfwMakeContextCurrent(Display());
    glfwDestroyWindow(record.window);
    windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(index));
}

void CClockWindows::Draw(double frameBegin) {
    GLFWwindow* current = Display();
    for (const auto& record : windows_) {
        const ClockPicture picture = CurrentClockPicture(record->width, record->height);
        if (!record->pacer.ShouldDraw(picture, frameBegin)) continue;
        if (current != record->window) {
            current = record->window;
            glfwMakeContextCurrent(current);
        }
        RenderClockFrame(record->width, record->height, &record->cache);
        PresentClockFrame(record->window, &record->cache);
        record->pacer.Presented(picture, frameBegin);
    }
    if (current != Display()) glfwMakeContextCurrent(Display());
}

double CClockWindows::WakeTime(double frameBegin, double nextChange, bool preview) const {
    double wake = std::numeric_limits<double>::infinity();
    for (const auto& record : windows_) {
        wake = std::min(wake, record->pacer.WakeTime(frameBegin, nextChange, preview));
    }
    return wake;
}

bool CClockWindows::FocusLeft() {
    if (!g_focusLost) return false;
    for (const auto& record : windows_) {
        if (glfwGetWindowAttrib(record->window, GLFW_FOCUSED)) {
            g_focusLost = false;
            return false;
        }
    }
    return true;
}

bool CClockWindows::CloseRequested() const {
    for (const auto& record : windows_) {
        if (glfwWindowShouldClose(record->window)) return true;
    }
    return false;
}
