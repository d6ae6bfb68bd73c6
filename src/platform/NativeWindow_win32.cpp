// The native handle of a GLFW window on Windows: its HWND.
#include <windows.h>

#include "platform/NativeWindow.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

void* NativeWindowHandle(GLFWwindow* window) { return glfwGetWin32Window(window); }
