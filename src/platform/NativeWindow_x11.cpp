// The native handle of a GLFW window on X11: its window id.
#include <cstdint>

#include "platform/NativeWindow.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

void* NativeWindowHandle(GLFWwindow* window) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(glfwGetX11Window(window)));
}
