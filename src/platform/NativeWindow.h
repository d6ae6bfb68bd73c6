// The native handle of a GLFW window, for the sound device: an HWND on
// Windows, the X11 window id on Linux, as a pointer-sized value.
#pragma once

struct GLFWwindow;

void* NativeWindowHandle(GLFWwindow* window);
