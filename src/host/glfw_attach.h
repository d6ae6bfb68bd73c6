/* Our one addition to GLFW: a window record and OpenGL context on a native
 * window that already exists (the screensaver host's preview window).
 *
 * handle: the native window (an HWND on Windows, an X11 Window id on Linux),
 *         passed as an integer.
 * share:  a window whose context objects are shared, or NULL.
 * Returns the new window, or NULL after the error callback has been told why.
 * Destroying the returned window leaves the native window alive and as it was.
 *
 * Built into GLFW's own library (src/host/glfw_attach_win32.c,
 * src/host/glfw_attach_x11.c), because it needs GLFW's internal records. */
#ifndef TOLVANE_GLFW_ATTACH_H
#define TOLVANE_GLFW_ATTACH_H

#include <stdint.h>

#ifndef GLFW_INCLUDE_NONE
#endif
#include <GLFW/glfw3.h>

#ifdef __cplusplus
extern "C" {
#endif

GLFWAPI GLFWwindow* glfwAttachHostWindow(intptr_t handle, GLFWwindow* share);

#ifdef __cplusplus
}
#endif

#endif
