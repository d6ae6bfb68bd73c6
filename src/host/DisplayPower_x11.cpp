// The display's power on X11, from the DPMS extension (libXext).
//
// Implements: the level asked of the server (DPMSInfo) each time the loop
// asks; off while DPMS is enabled and the level is Standby, Suspend or Off.
// Lacks: news of a change (no event says it before X.Org server 26.1, so
// the loop asks); servers without the extension (Xvfb, the dummy driver)
// leave the display always seen.
//
// The calls are looked up at run time, so the package gains no dependency:
// libXext is already in the process, loaded with libXrandr and libXi, which
// the window library opens. Symbols already in the process's global scope
// come first, then the library's own.
#include <X11/Xlib.h>
#include <dlfcn.h>

#include "host/DisplayPower.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

namespace {

// From X11/extensions/dpms.h, whose header would make the build need
// libXext's development files.
using QueryExtensionCall = Bool (*)(Display*, int*, int*);
using InfoCall = Status (*)(Display*, unsigned short*, unsigned char*);
constexpr unsigned short kDpmsModeOn = 0;

InfoCall g_info = nullptr;

void* Lookup(void* library, const char* name) {
    void* symbol = dlsym(RTLD_DEFAULT, name);
    if (symbol == nullptr && library != nullptr) symbol = dlsym(library, name);
    return symbol;
}

}  // namespace

DisplayNews WatchDisplayPower(GLFWwindow* /*window*/) {
    Display* display = glfwGetX11Display();
    if (display == nullptr) return DisplayNews::Silent;
    // Kept open for the process's life, as the window library keeps it.
    void* library = dlopen("libXext.so.6", RTLD_LAZY | RTLD_LOCAL);
    const auto query = reinterpret_cast<QueryExtensionCall>(Lookup(library, "DPMSQueryExtension"));
    const auto info = reinterpret_cast<InfoCall>(Lookup(library, "DPMSInfo"));
    int eventBase = 0;
    int errorBase = 0;
    if (query == nullptr || info == nullptr || !query(display, &eventBase, &errorBase)) {
        return DisplayNews::Silent;
    }
    g_info = info;
    return DisplayNews::Asked;
}

bool DisplayCanBeSeen() {
    Display* display = glfwGetX11Display();
    if (g_info == nullptr || display == nullptr) return true;
    unsigned short level = kDpmsModeOn;
    unsigned char enabled = 0;
    if (!g_info(display, &level, &enabled)) return true;
    return !enabled || level == kDpmsModeOn;
}
