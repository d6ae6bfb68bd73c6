// Undoing GLFW's full-screen side effects on Windows (user32, kernel32).
//
// Implements: no execution-state request outlives a taking of a monitor;
// mouse trails, read just before it, are put back just after it; each
// full-screen window's procedure is wrapped so that the display's power-off
// reaches DefWindowProc and a taking inside the procedure (a window restored
// from an icon) is undone as well.
// Lacks: nothing is given back at exit, since nothing is kept borrowed.
#include <windows.h>

#include "host/FullScreenEffects.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

namespace {

UINT g_mouseTrails = 0;
bool g_mouseTrailsRead = false;
int g_takings = 0;  // nested takings: only the outermost reads and restores

// The library's own procedure, one for all its windows.
WNDPROC g_libraryProcedure = nullptr;

LRESULT CALLBACK WatchedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The library refuses both while full screen. The screen saver stays
    // refused (one runs already); the display's power-off is the user's.
    if (message == WM_SYSCOMMAND && (wParam & 0xfff0) == SC_MONITORPOWER) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // A full-screen window restored from an icon takes its monitor again.
    if (message == WM_SIZE) {
        CMonitorTakeover takeover;
        return CallWindowProcW(g_libraryProcedure, window, message, wParam, lParam);
    }
    return CallWindowProcW(g_libraryProcedure, window, message, wParam, lParam);
}

}  // namespace

void BeforeTakingMonitor() {
    if (g_takings++ > 0) return;
    g_mouseTrailsRead = SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &g_mouseTrails, 0) != FALSE;
}

void AfterTakingMonitor() {
    if (--g_takings > 0) return;
    // Whatever the library asked for (ES_DISPLAY_REQUIRED) is dropped.
    SetThreadExecutionState(ES_CONTINUOUS);
    UINT trails = 0;
    if (g_mouseTrailsRead && SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &trails, 0) &&
        trails != g_mouseTrails) {
        SystemParametersInfoW(SPI_SETMOUSETRAILS, g_mouseTrails, nullptr, 0);
    }
}

void WatchFullScreenWindow(GLFWwindow* window) {
    HWND handle = glfwGetWin32Window(window);
    if (handle == nullptr) return;
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
    if (previous == WatchedProcedure) return;
    g_libraryProcedure = previous;
    SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedProcedure));
}
