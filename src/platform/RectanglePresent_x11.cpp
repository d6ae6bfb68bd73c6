// Presenting a rectangle on X11: glXCopySubBufferMESA, on Mesa's software
// renderer only.
//
// Implements: the choice from the display's GLX extensions and its renderer
// (GLX_MESA_query_renderer answers without a context, so the choice comes
// before the first window, whose sample count depends on it).
// Differs from Windows: there the route is never taken.
#include <dlfcn.h>

#include <cstring>

#include "platform/RectanglePresent.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#define GLFW_EXPOSE_NATIVE_GLX
#include <GLFW/glfw3native.h>

namespace {

using GetProcAddressFn = void (*(*)(const GLubyte*))();
using QueryExtensionsFn = const char* (*)(Display*, int);

PFNGLXCOPYSUBBUFFERMESAPROC g_copySubBuffer = nullptr;

bool HasExtension(const char* list, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

template <typename T>
T Symbol(void* library, const char* name) {
    T function = nullptr;
    void* symbol = dlsym(library, name);
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

}  // namespace

bool CanPresentRectangles() {
    Display* display = glfwGetX11Display();
    if (display == nullptr) return false;
    void* library = dlopen("libGL.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) return false;
    const auto queryExtensions = Symbol<QueryExtensionsFn>(library, "glXQueryExtensionsString");
    const auto getProcAddress = Symbol<GetProcAddressFn>(library, "glXGetProcAddressARB");
    const int screen = DefaultScreen(display);
    const char* extensions =
        queryExtensions != nullptr ? queryExtensions(display, screen) : nullptr;
    bool chosen = false;
    if (extensions != nullptr && getProcAddress != nullptr &&
        HasExtension(extensions, "GLX_MESA_copy_sub_buffer") &&
        HasExtension(extensions, "GLX_MESA_query_renderer")) {
        const auto queryRenderer = reinterpret_cast<PFNGLXQUERYRENDERERINTEGERMESAPROC>(
            getProcAddress(reinterpret_cast<const GLubyte*>("glXQueryRendererIntegerMESA")));
        g_copySubBuffer = reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(
            getProcAddress(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
        unsigned int accelerated = 1;
        chosen = queryRenderer != nullptr && g_copySubBuffer != nullptr &&
                 queryRenderer(display, screen, 0, GLX_RENDERER_ACCELERATED_MESA, &accelerated) &&
                 accelerated == 0;
    }
    // The entry point lives in the library, which must stay loaded for it
    // (GLFW loads libGLX.so.0, not this one).
    if (!chosen) {
        g_copySubBuffer = nullptr;
        dlclose(library);
    }
    return chosen;
}

void PresentRectangle(GLFWwindow* window, const PixelRect& rect) {
    if (g_copySubBuffer == nullptr || rect.width <= 0 || rect.height <= 0) return;
    g_copySubBuffer(glfwGetX11Display(), glfwGetGLXWindow(window), rect.x, rect.y, rect.width,
                    rect.height);
}
