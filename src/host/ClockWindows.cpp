#include "host/ClockWindows.h"

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

// Expose, and on Windows WM_PAINT: what was shown is gone.
void OnRefresh(GLFWwindow* window) {
    CClockWindow* record = RecordOf(window);
    if (record != nullptr) record->pacer.RequestRedraw();
}

}  // namespace

CClockWindows::CClockWindows(GLFWwindow* display, int refreshRate) : refreshRate_(refreshRate) {
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
}

void CClockWindows::Add(GLFWwindow* window, int width, int height) {
    windows_.push_back(std::make_unique<CClockWindow>(window, width, height, refreshRate_, false));
    Track(windows_.back().get());
}

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
        DrawClockFrameInto(record->width, record->height, &record->cache);
        glfwSwapBuffers(record->window);
        record->pacer.Presented(picture, frameBegin);
    }
    if (current != Display()) glfwMakeContextCurrent(Display());
}

double CClockWindows::RestTime(double now, double nextChange, bool preview) const {
    double rest = std::numeric_limits<double>::infinity();
    for (const auto& record : windows_) {
        const double own = record->pacer.RestTime(now, nextChange, preview);
        if (own < rest) rest = own;
    }
    return rest;
}

bool CClockWindows::CloseRequested() const {
    for (const auto& record : windows_) {
        if (glfwWindowShouldClose(record->window)) return true;
    }
    return false;
}
