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
    if (record != nullptr) record->Resize(width, height);
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
    record->output->ShownLost();
}

}  // namespace

CClockWindow::CClockWindow(GLFWwindow* handle, int width, int height, int refreshRate,
                           WindowRole windowRole, FrameOutputKind kind)
    : window(handle), pacer(refreshRate), output(MakeFrameOutput(kind, handle)), role(windowRole) {
    Resize(width, height);
}

void CClockWindow::Resize(int width, int height) {
    view = ClockViewOf(width, height);
    if (role == WindowRole::Display) StoreDisplaySize(width, height);
}

CClockWindows::CClockWindows(GLFWwindow* display, int width, int height, int refreshRate,
                             FrameOutputKind kind)
    : kind_(kind) {
    windows_.push_back(std::make_unique<CClockWindow>(display, width, height, refreshRate,
                                                      WindowRole::Display, kind));
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
    windows_.push_back(std::make_unique<CClockWindow>(window, width, height, refreshRate,
                                                      WindowRole::Other, kind_));
    Track(windows_.back().get());
}

void CClockWindows::Moved(int refreshRate) { windows_.front()->pacer = CFramePacer(refreshRate); }

void CClockWindows::Close(std::size_t index) {
    if (index == 0 || index >= windows_.size()) return;
    CClockWindow& record = *windows_[index];
    // A framebuffer belongs to its context alone.
    glfwMakeContextCurrent(record.window);
    record.output->Release();
    glfwMakeContextCurrent(Display());
    glfwDestroyWindow(record.window);
    windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(index));
}

void CClockWindows::Draw(double frameBegin) {
    GLFWwindow* current = Display();
    for (const auto& record : windows_) {
        const ClockPicture picture = CurrentClockPicture(record->view.width, record->view.height);
        if (!record->pacer.ShouldDraw(picture, frameBegin)) continue;
        if (current != record->window) {
            current = record->window;
            glfwMakeContextCurrent(current);
        }
        RenderClockFrame(record->view, *record->output);
        record->output->Present();
        record->pacer.Presented(picture, frameBegin);
    }
    if (current != Display()) glfwMakeContextCurrent(Display());
}

void CClockWindows::ShownLost() {
    for (const auto& record : windows_) {
        record->pacer.RequestRedraw();
        record->output->ShownLost();
    }
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
