// What the portable host code needs of the platform.
//
// Implemented by HostPlatform_win32.cpp (user32) and HostPlatform_x11.cpp
// (Xlib on GLFW's display connection).
#pragma once

#include <cstdint>

struct GLFWwindow;

// The Windows version as major * 10 + minor; other platforms answer 60, so
// they take the size of the primary monitor's current video mode.
int WindowsVersionNumber();

// The client size of the preview host window; false when it cannot be read.
bool GetHostClientSize(std::int32_t host, int* width, int* height);

// Once per preview frame: false once the preview host window is disabled or
// gone (Windows: the host's IsWindowEnabled; X11: the window still exists and
// is mapped). Otherwise keeps the drawing window, last reported width x
// height, covering the host's client area when the host's size changes
// (nothing to do when the drawing window is the host itself) and returns
// true.
bool TrackHostWindow(GLFWwindow* window, std::int32_t host, int width, int height);

// Whether a window of another program holds the foreground (Windows) or
// the keyboard focus (X11) now. No focus at all, or the desktop's own
// root, is nobody's.
bool AnotherProgramHasFocus();
