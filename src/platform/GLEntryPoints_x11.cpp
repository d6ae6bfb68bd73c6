// GL entry-point loading on Linux/X11.
//
// Implements: LoadGLEntryPoints for a current GLX context.
// Differs from Windows: glXGetProcAddressARB answers with a non-null pointer
// for any name, made-up ones included, so the answer alone cannot tell which
// entry points exist. The context's version and extension list decide; a name
// outside them stays null. Names libGL exports are taken from dlsym first.
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/GL.h"
#include "platform/GLAvailability.h"

namespace {

using GetProcAddressFn = GLEntryPoint (*)(const unsigned char*);

GLEntryPoint Lookup(void* library, GetProcAddressFn getProcAddress, const char* name) {
    GLEntryPoint entry = nullptr;
    if (library != nullptr) {
        // Object to function pointer: the documented way to use dlsym.
        void* symbol = dlsym(library, name);
        std::memcpy(&entry, &symbol, sizeof entry);
    }
    if (entry == nullptr && getProcAddress != nullptr) {
        entry = getProcAddress(reinterpret_cast<const unsigned char*>(name));
    }
    return entry;
}

std::vector<std::string> ReadExtensions(void* library, GetProcAddressFn getProcAddress) {
    std::vector<std::string> extensions;
    auto getIntegerv =
        reinterpret_cast<PFNGLGETINTEGERVPROC>(Lookup(library, getProcAddress, "glGetIntegerv"));
    auto getStringi =
        reinterpret_cast<PFNGLGETSTRINGIPROC>(Lookup(library, getProcAddress, "glGetStringi"));
    auto getString =
        reinterpret_cast<PFNGLGETSTRINGPROC>(Lookup(library, getProcAddress, "glGetString"));
    GLint count = 0;
    if (getIntegerv != nullptr && getStringi != nullptr) {
        getIntegerv(GL_NUM_EXTENSIONS, &count);
        for (GLint i = 0; i < count; ++i) {
            const GLubyte* name = getStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
            if (name != nullptr) extensions.emplace_back(reinterpret_cast<const char*>(name));
        }
    }
    if (extensions.empty() && getString != nullptr) {
        // Contexts before 3.0 only have the space-separated list.
        const GLubyte* all = getString(GL_EXTENSIONS);
        std::string list = all != nullptr ? reinterpret_cast<const char*>(all) : "";
        std::size_t start = 0;
        while (start < list.size()) {
            std::size_t end = list.find(' ', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) extensions.push_back(list.substr(start, end - start));
            start = end + 1;
        }
        // Reading GL_EXTENSIONS this way is an error on a core context.
        auto getError =
            reinterpret_cast<PFNGLGETERRORPROC>(Lookup(library, getProcAddress, "glGetError"));
        if (getError != nullptr) getError();
    }
    return extensions;
}

}  // namespace

int LoadGLEntryPoints() {
    void* library = dlopen("libGL.so.1", RTLD_LAZY | RTLD_LOCAL);
    GetProcAddressFn getProcAddress = nullptr;
    if (library != nullptr) {
        void* symbol = dlsym(library, "glXGetProcAddressARB");
        std::memcpy(&getProcAddress, &symbol, sizeof getProcAddress);
    }

    int major = 0;
    int minor = 0;
    auto getString =
        reinterpret_cast<PFNGLGETSTRINGPROC>(Lookup(library, getProcAddress, "glGetString"));
    if (getString != nullptr) {
        ParseGLVersionString(reinterpret_cast<const char*>(getString(GL_VERSION)), &major, &minor);
    }
    const std::vector<std::string> extensions = ReadExtensions(library, getProcAddress);

    for (int i = 0; i < kGLEntryPointCount; ++i) {
        const GLSection& section = kGLSections[kGLEntryPointSection[i]];
        g_glEntryPoints[i] = IsGLSectionProvided(section, major, minor, extensions)
                                 ? Lookup(library, getProcAddress, kGLEntryPointNames[i])
                                 : nullptr;
    }
    // libGL stays loaded: GLFW holds its own reference for the context.
    if (library != nullptr) dlclose(library);

    return ReadGLVersion();
}
