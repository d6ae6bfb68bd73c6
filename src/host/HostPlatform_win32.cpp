// Host services on Windows (user32).
//
// Implements: the version from GetVersion, the preview host's client size
// (GetClientRect), IsWindowEnabled, following the host's size with the
// drawing window when that is a child window of ours; the foreground test
// by process.
#include <windows.h>

#include <cstdint>

#include "host/HostPlatform.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

namespace {

HWND AsWindow(std::int32_t host) {
    // Window handles are 32-bit values, sign-extended on 64-bit Windows.
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(host));
}

}  // namespace

int WindowsVersionNumber() {
    const DWORD version = GetVersion();
    const int major = static_cast<int>(LOBYTE(LOWORD(version)));
    const int minor = static_cast<int>(HIBYTE(LOWORD(version)));
    return major * 10 + minor;
}

bool GetHostClientSize(std::int32_t host, int* width, int* height) {
    RECT rect{};
    if (!GetClientRect(AsWindow(host), &rect)) return false;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return true;
}

bool TrackHostWindow(GLFWwindow* window, std::int32_t host, int /*width*/, int /*height*/) {
    HWND hostWindow = AsWindow(host);
    if (!IsWindowEnabled(hostWindow)) return false;
    HWND drawing = glfwGetWin32Window(window);
    if (drawing == hostWindow || GetParent(drawing) != hostWindow) return true;
    RECT hostRect{};
    RECT drawingRect{};
    if (GetClientRect(hostWindow, &hostRect) && GetClientRect(drawing, &drawingRect) &&
        (hostRect.right != drawingRect.right || hostRect.bottom != drawingRect.bottom)) {
        SetWindowPos(drawing, nullptr, 0, 0, hostRect.right, hostRect.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

bool AnotherProgramHasFocus() {
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process != 0 && process != GetCurrentProcessId();
}
