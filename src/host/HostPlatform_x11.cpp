// Host services on Linux/X11, on GLFW's own display connection.
//
// Implements: the version rule (Linux counts as Windows 6.0 or later), the
// preview host's client size, its "enabled" state (the window still exists
// and is mapped), following its size.
// Lacks: an "enabled" flag of its own; X11 windows have none.
#include <X11/Xlib.h>

#include <cstdint>

#include "host/HostPlatform.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

namespace {

int g_lastXError = 0;

// Stays installed: the host may vanish at any moment, and the errors that
// follow (BadWindow, BadDrawable) must not end the process.
int RecordXError(Display* /*display*/, XErrorEvent* event) {
    g_lastXError = event->error_code;
    return 0;
}

bool ReadHostAttributes(std::int32_t host, XWindowAttributes* attributes) {
    Display* display = glfwGetX11Display();
    if (display == nullptr || host == 0) return false;
    XSetErrorHandler(RecordXError);
    XSync(display, False);
    g_lastXError = 0;
    const Status ok = XGetWindowAttributes(display, static_cast<Window>(host), attributes);
    XSync(display, False);
    return ok != 0 && g_lastXError == 0;
}

}  // namespace

int WindowsVersionNumber() { return 60; }

bool GetHostClientSize(std::int32_t host, int* width, int* height) {
    XWindowAttributes attributes;
    if (!ReadHostAttributes(host, &attributes)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool TrackHostWindow(GLFWwindow* window, std::int32_t host, int width, int height) {
    // One round trip a frame: the host's attributes tell both its state and
    // its size.
    XWindowAttributes attributes;
    if (!ReadHostAttributes(host, &attributes) || attributes.map_state == IsUnmapped) {
        return false;
    }
    if (attributes.width > 0 && attributes.height > 0 &&
        (attributes.width != width || attributes.height != height)) {
        // The child's ConfigureNotify then reaches the window-size callback,
        // which reports the new size.
        glfwSetWindowSize(window, attributes.width, attributes.height);
    }
    return true;
}
