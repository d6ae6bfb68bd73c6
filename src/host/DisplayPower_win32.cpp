// The display's power on Windows (user32).
//
// Implements: the display window registers for the console display state
// (RegisterPowerSettingNotification, GUID_CONSOLE_DISPLAY_STATE); the
// system then sends WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE with 0 (off),
// 1 (on) or 2 (dimmed, which counts as on), at once with the current state
// and on every change. The window's procedure is wrapped to read it; the
// registration is given back at exit.
// Lacks: news before Windows 8 and under Wine (registration fails, or no
// message comes): the display then counts as seen.
#include <windows.h>

#include <cstdlib>

#include "host/DisplayPower.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

namespace {

// {6FE69556-704A-47A0-8F24-C28D936FDA47}, spelt here so the build needs no
// GUID library.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;

HPOWERNOTIFY g_registration = nullptr;
WNDPROC g_previousProcedure = nullptr;
bool g_displayOff = false;

LRESULT CALLBACK PowerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_POWERBROADCAST && wParam == PBT_POWERSETTINGCHANGE && lParam != 0) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
        if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
            setting->DataLength >= sizeof(DWORD)) {
            DWORD state = 0;
            CopyMemory(&state, setting->Data, sizeof(state));
            g_displayOff = state == kDisplayOff;
            return TRUE;
        }
    }
    return CallWindowProcW(g_previousProcedure, window, message, wParam, lParam);
}

void GiveBack() {
    if (g_registration != nullptr) UnregisterPowerSettingNotification(g_registration);
    g_registration = nullptr;
}

}  // namespace

DisplayNews WatchDisplayPower(GLFWwindow* window) {
    HWND handle = glfwGetWin32Window(window);
    if (handle == nullptr || g_previousProcedure != nullptr) return DisplayNews::Silent;
    // Wrapped before registering: the first message, the current state,
    // may come at once.
    g_previousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PowerProcedure)));
    g_registration = RegisterPowerSettingNotification(handle, &kConsoleDisplayState,
                                                      DEVICE_NOTIFY_WINDOW_HANDLE);
    if (g_registration == nullptr) return DisplayNews::Silent;
    std::atexit(GiveBack);
    return DisplayNews::Told;
}

bool DisplayCanBeSeen() { return !g_displayOff; }
