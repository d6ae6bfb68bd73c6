/* glfwAttachHostWindow on X11, compiled into GLFW's library.
 *
 * Implements: the attachment through a child window of ours that covers the
 * host window's client area. The child is an ordinary GLFW window, created
 * hidden and undecorated at the host's size and then reparented into the
 * host, so GLFW's own event handling, context creation and teardown apply
 * unchanged: key and button events over the host reach the callbacks, and
 * destroying the record destroys only the child. A child of our own also
 * frees the choice of visual: a foreign window's visual usually allows no
 * multisampling, ours gets the samples the hints ask for.
 * Lacks: following the host's size is done by the program each frame
 * (HostWindow_x11.cpp); X11 sends a foreign window's resizes to its owner. */
#include "internal.h"

#include "glfw_attach.h"

#include <X11/Xlib.h>

/* The host can vanish at any moment (the screensaver host destroys its
 * preview window when it likes), and drawing into the child of a destroyed
 * window raises BadDrawable or BadWindow. Xlib's default handler would end
 * the process; this one lets them pass. The program notices the host is gone
 * by itself. GLFW saves and restores the handler around its own checks, so
 * this stays in place for the whole run. */
static int tolerateHostErrors(Display* display, XErrorEvent* event) {
    (void)display;
    (void)event;
    return 0;
}

GLFWAPI GLFWwindow* glfwAttachHostWindow(intptr_t handle, GLFWwindow* share) {
    _GLFW_REQUIRE_INIT_OR_RETURN(NULL);

    const Window host = (Window)handle;
    XWindowAttributes attribs;
    Status found = 0;

    _glfwGrabErrorHandlerX11();
    if (host != None) found = XGetWindowAttributes(_glfw.x11.display, host, &attribs);
    _glfwReleaseErrorHandlerX11();
    if (!found || _glfw.x11.errorCode != Success) {
        _glfwInputError(GLFW_PLATFORM_ERROR, "X11: The host window 0x%lx does not exist",
                        (unsigned long)host);
        return NULL;
    }

    const _GLFWwndconfig hints = _glfw.hints.window;
    _glfw.hints.window.visible = GLFW_FALSE;
    _glfw.hints.window.decorated = GLFW_FALSE;
    _glfw.hints.window.focused = GLFW_FALSE;
    GLFWwindow* handleOut = glfwCreateWindow(attribs.width > 0 ? attribs.width : 1,
                                             attribs.height > 0 ? attribs.height : 1,
                                             "Tolvane Screensaver", NULL, share);
    _glfw.hints.window = hints;
    if (!handleOut) return NULL;

    _GLFWwindow* window = (_GLFWwindow*)handleOut;
    XSetErrorHandler(tolerateHostErrors);
    XReparentWindow(_glfw.x11.display, window->x11.handle, host, 0, 0);
    XMapWindow(_glfw.x11.display, window->x11.handle);
    XFlush(_glfw.x11.display);
    return handleOut;
}
