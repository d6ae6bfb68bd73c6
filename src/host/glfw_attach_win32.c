/* glfwAttachHostWindow on Windows, compiled into GLFW's library.
 *
 * Implements: for a host window of our own process, the record takes the
 * host over in place: its native handle is the host, the "GLFW" property
 * points at it, GLFW's own window procedure replaces the host's (which is
 * saved and put back when the record goes), and the context is made on the
 * host. For a host window of another process (the preview window of the
 * Screen Saver Settings dialog always is one) Windows refuses both the
 * subclassing and the pixel format, so the record gets a child window of
 * ours instead, of GLFW's own class, covering the host's client area;
 * destroying the record destroys that child only.
 * Lacks: a pixel format, once set on a host window of our own, cannot be
 * taken back. Following the host's size is left to the program
 * (HostPlatform_win32.cpp). */
#include "internal.h"

#include "glfw_attach.h"

#include <stdlib.h>

/* What an in-place attachment changed on the host, to be put back when the
 * record goes. GLFW's own teardown would destroy the record's native window;
 * hooking the record's context.destroy, which _glfwPlatformDestroyWindow
 * calls first, lets us undo the attachment and clear the handle before. */
typedef struct Attachment {
    _GLFWwindow* window;
    HWND host;
    WNDPROC savedProc;
    HICON savedBigIcon;
    HICON savedSmallIcon;
    GLFWbool ownsDC; /* WGL took a DC of the host with GetDC */
    _GLFWdestroycontextfun destroyContext;
    struct Attachment* next;
} Attachment;

static Attachment* attachments = NULL;

static Attachment** findAttachment(const _GLFWwindow* window) {
    Attachment** link = &attachments;
    while (*link && (*link)->window != window) link = &(*link)->next;
    return link;
}

/* Puts the host back as it was and forgets the attachment. Safe to call for
 * a record that has none. */
static void detachHost(_GLFWwindow* window) {
    Attachment** link = findAttachment(window);
    Attachment* attachment = *link;
    if (!attachment) return;

    const HWND host = attachment->host;
    SendMessageW(host, WM_SETICON, ICON_BIG, (LPARAM)attachment->savedBigIcon);
    SendMessageW(host, WM_SETICON, ICON_SMALL, (LPARAM)attachment->savedSmallIcon);
    if (attachment->savedProc)
        SetWindowLongPtrW(host, GWLP_WNDPROC, (LONG_PTR)attachment->savedProc);
    RemovePropW(host, L"GLFW");
    if (attachment->ownsDC && window->context.wgl.dc) {
        ReleaseDC(host, window->context.wgl.dc);
        window->context.wgl.dc = NULL;
    }
    if (_glfw.win32.disabledCursorWindow == window) _glfw.win32.disabledCursorWindow = NULL;
    /* GLFW destroys the record's native window unless the handle is gone. */
    window->win32.handle = NULL;

    *link = attachment->next;
    free(attachment);
}

static void destroyAttachedContext(_GLFWwindow* window) {
    Attachment* attachment = *findAttachment(window);
    if (attachment && attachment->destroyContext) attachment->destroyContext(window);
    detachHost(window);
}

/* GLFW's window procedure is private to win32_window.c; its window class
 * carries it. */
static WNDPROC glfwWindowProcedure(void) {
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(_glfw.win32.instance, _GLFW_WNDCLASSNAME, &wc)) return NULL;
    return wc.lpfnWndProc;
}

static GLFWbool hostIsOfAnotherProcess(HWND host) {
    DWORD process = 0;
    GetWindowThreadProcessId(host, &process);
    return process != GetCurrentProcessId();
}

/* Takes the host over in place: the "GLFW" property and GLFW's procedure. */
static GLFWbool subclassHost(_GLFWwindow* window, HWND host, GLFWbool ownsDC) {
    Attachment* attachment = calloc(1, sizeof(Attachment));
    const WNDPROC procedure = glfwWindowProcedure();
    if (!procedure) {
        free(attachment);
        _glfwInputErrorWin32(GLFW_PLATFORM_ERROR, "Win32: Failed to find GLFW's window class");
        return GLFW_FALSE;
    }

    attachment->window = window;
    attachment->host = host;
    attachment->ownsDC = ownsDC;
    attachment->savedBigIcon = (HICON)SendMessageW(host, WM_GETICON, ICON_BIG, 0);
    attachment->savedSmallIcon = (HICON)SendMessageW(host, WM_GETICON, ICON_SMALL, 0);
    attachment->next = attachments;
    attachments = attachment;

    window->win32.handle = host;
    SetPropW(host, L"GLFW", window);

    SetLastError(0);
    attachment->savedProc = (WNDPROC)SetWindowLongPtrW(host, GWLP_WNDPROC, (LONG_PTR)procedure);
    if (!attachment->savedProc && GetLastError() != 0) {
        _glfwInputErrorWin32(GLFW_PLATFORM_ERROR,
                             "Win32: Failed to install GLFW's window procedure on the host window");
        return GLFW_FALSE;
    }
    return GLFW_TRUE;
}

/* A child window of GLFW's own class over the host's client area; GLFW then
 * treats it, and destroys it, as one of its own windows. */
static GLFWbool createChildOfHost(_GLFWwindow* window, HWND host) {
    RECT area = {0, 0, 0, 0};
    GetClientRect(host, &area);
    const HWND child = CreateWindowExW(
        0, _GLFW_WNDCLASSNAME, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
        area.right - area.left, area.bottom - area.top, host, NULL, _glfw.win32.instance, NULL);
    if (!child) {
        _glfwInputErrorWin32(GLFW_PLATFORM_ERROR,
                             "Win32: Failed to create a child window in the host window");
        return GLFW_FALSE;
    }
    window->win32.handle = child;
    SetPropW(child, L"GLFW", window);
    return GLFW_TRUE;
}

static void readWindowState(_GLFWwindow* window) {
    const HWND handle = window->win32.handle;
    const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(handle, GWL_EXSTYLE);
    RECT area = {0, 0, 0, 0};

    window->resizable = (style & WS_THICKFRAME) ? GLFW_TRUE : GLFW_FALSE;
    window->decorated = (style & (WS_BORDER | WS_THICKFRAME)) ? GLFW_TRUE : GLFW_FALSE;
    window->floating = (exStyle & WS_EX_TOPMOST) ? GLFW_TRUE : GLFW_FALSE;
    window->win32.maximized = IsZoomed(handle) ? GLFW_TRUE : GLFW_FALSE;
    window->win32.iconified = IsIconic(handle) ? GLFW_TRUE : GLFW_FALSE;

    /* GLFW compares WM_SIZE against these to drop repeated size events. */
    GetClientRect(handle, &area);
    window->win32.width = area.right - area.left;
    window->win32.height = area.bottom - area.top;
    window->videoMode.width = window->win32.width;
    window->videoMode.height = window->win32.height;
}

static GLFWbool createContext(_GLFWwindow* window, const _GLFWctxconfig* ctxconfig,
                              const _GLFWfbconfig* fbconfig) {
    if (ctxconfig->source == GLFW_NATIVE_CONTEXT_API) {
        if (!_glfwInitWGL() || !_glfwCreateContextWGL(window, ctxconfig, fbconfig))
            return GLFW_FALSE;
    } else if (ctxconfig->source == GLFW_EGL_CONTEXT_API) {
        if (!_glfwInitEGL() || !_glfwCreateContextEGL(window, ctxconfig, fbconfig))
            return GLFW_FALSE;
    } else if (ctxconfig->source == GLFW_OSMESA_CONTEXT_API) {
        if (!_glfwInitOSMesa() || !_glfwCreateContextOSMesa(window, ctxconfig, fbconfig))
            return GLFW_FALSE;
    }
    return _glfwRefreshContextAttribs(window, ctxconfig);
}

GLFWAPI GLFWwindow* glfwAttachHostWindow(intptr_t handle, GLFWwindow* share) {
    _GLFW_REQUIRE_INIT_OR_RETURN(NULL);

    _GLFWfbconfig fbconfig = _glfw.hints.framebuffer;
    _GLFWctxconfig ctxconfig = _glfw.hints.context;
    _GLFWwndconfig wndconfig = _glfw.hints.window;
    ctxconfig.share = (_GLFWwindow*)share;
    if (!_glfwIsValidContextConfig(&ctxconfig)) return NULL;

    const HWND host = (HWND)handle;
    if (!host || !IsWindow(host)) {
        _glfwInputError(GLFW_PLATFORM_ERROR, "Win32: The host window 0x%llx does not exist",
                        (unsigned long long)(uintptr_t)handle);
        return NULL;
    }

    _GLFWwindow* window = calloc(1, sizeof(_GLFWwindow));
    window->next = _glfw.windowListHead;
    _glfw.windowListHead = window;

    window->videoMode.redBits = fbconfig.redBits;
    window->videoMode.greenBits = fbconfig.greenBits;
    window->videoMode.blueBits = fbconfig.blueBits;
    window->videoMode.refreshRate = _glfw.hints.refreshRate;
    window->monitor = NULL;
    window->resizable = wndconfig.resizable;
    window->decorated = wndconfig.decorated;
    window->autoIconify = wndconfig.autoIconify;
    window->floating = wndconfig.floating;
    window->focusOnShow = wndconfig.focusOnShow;
    window->cursorMode = GLFW_CURSOR_NORMAL;
    window->doublebuffer = fbconfig.doublebuffer;
    window->minwidth = GLFW_DONT_CARE;
    window->minheight = GLFW_DONT_CARE;
    window->maxwidth = GLFW_DONT_CARE;
    window->maxheight = GLFW_DONT_CARE;
    window->numer = GLFW_DONT_CARE;
    window->denom = GLFW_DONT_CARE;
    window->win32.scaleToMonitor = wndconfig.scaleToMonitor;

    const GLFWbool inPlace = !hostIsOfAnotherProcess(host);
    const GLFWbool usesWGL =
        ctxconfig.client != GLFW_NO_API && ctxconfig.source == GLFW_NATIVE_CONTEXT_API;
    const GLFWbool tied =
        inPlace ? subclassHost(window, host, usesWGL) : createChildOfHost(window, host);
    if (tied) {
        readWindowState(window);
        if (ctxconfig.client == GLFW_NO_API || createContext(window, &ctxconfig, &fbconfig)) {
            if (inPlace) {
                Attachment* attachment = *findAttachment(window);
                attachment->destroyContext = window->context.destroy;
                /* GLFW's teardown calls it even when there is no context. */
                window->context.destroy = destroyAttachedContext;
            }
            return (GLFWwindow*)window;
        }
    }

    if (inPlace) {
        /* Whatever context was made goes first, then the host is given back
         * before GLFW's teardown could destroy it. */
        if (window->context.destroy) {
            window->context.destroy(window);
            window->context.destroy = NULL;
        }
        detachHost(window);
    }
    glfwDestroyWindow((GLFWwindow*)window);
    return NULL;
}
