// Host services on Linux/X11, on GLFW's own display connection.
//
// Implements: the version rule (Linux counts as Windows 6.0 or later), the
// preview host's client size, its "enabled" state (the window still exists
// and is mapped), following its size; the focus test by the focus window's
// top-level window and its _NET_WM_PID, which GLFW sets on its windows.
// Lacks: an "enabled" flag of its own; X11 windows have none.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

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

// The focus window's top-level window, or the root; None when the windows
// on the way vanish while they are asked about.
Window TopLevelOf(Display* display, Window window) {
    const Window root = DefaultRootWindow(display);
    while (window != root) {
        Window parent = None;
        Window rootReturn = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count)) return None;
        if (children != nullptr) XFree(children);
        if (parent == root || parent == None) break;
        window = parent;
    }
    return window;
}

long ProcessOf(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &value) == Success &&
        value != nullptr) {
        if (type == XA_CARDINAL && format == 32 && items == 1) {
            pid = *reinterpret_cast<long*>(value);
        }
        XFree(value);
    }
    return pid;
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

bool AnotherProgramHasFocus() {
    Display* display = glfwGetX11Display();
    if (display == nullptr) return false;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    // PointerRoot: no window manager, and nobody has set the focus; the
    // keys go to the window under the pointer, which is ours while we
    // cover the screen.
    if (focus == None || focus == PointerRoot) return false;
    // Another client's windows may vanish at any moment: the errors that
    // follow must not end the process (Xlib's own handler would).
    XSync(display, False);
    const XErrorHandler previous = XSetErrorHandler(RecordXError);
    const Window top = TopLevelOf(display, focus);
    const long pid =
        top != None && top != DefaultRootWindow(display) ? ProcessOf(display, top) : getpid();
    XSync(display, False);
    XSetErrorHandler(previous);
    return pid != static_cast<long>(getpid());
}
