// GL entry-point loading on Windows.
//
// Implements: LoadGLEntryPoints for a current WGL context.
// wglGetProcAddress knows only extension and post-1.1 entry points and
// returns null for the rest (glClear, for instance), which opengl32.dll
// exports itself; so each name is asked of wglGetProcAddress first and of
// the library second, and whatever comes back, null included, is kept.
#include <windows.h>

#include "platform/GL.h"
#include "platform/GLAvailability.h"

int LoadGLEntryPoints() {
    HMODULE library = LoadLibraryA("opengl32.dll");
    for (int i = 0; i < kGLEntryPointCount; ++i) {
        PROC entry = wglGetProcAddress(kGLEntryPointNames[i]);
        if (entry == nullptr && library != nullptr) {
            entry = GetProcAddress(library, kGLEntryPointNames[i]);
        }
        g_glEntryPoints[i] = reinterpret_cast<GLEntryPoint>(entry);
    }
    // The library stays loaded: the program links wglGetProcAddress from it.
    if (library != nullptr) FreeLibrary(library);

    return ReadGLVersion();
}
