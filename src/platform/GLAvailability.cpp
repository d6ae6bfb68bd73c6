#include "platform/GLAvailability.h"

#include <algorithm>
#include <cctype>

int g_glMajorVersion = 0;
int g_glMinorVersion = 0;

int ReadGLVersion() {
    // A context before 3.0 does not know GL_MAJOR_VERSION and leaves these at 0.
    g_glMajorVersion = 0;
    g_glMinorVersion = 0;
    if (g_glEntryPoints[GLEP_glGetIntegerv] == nullptr) return -1;
    glGetIntegerv(GL_MAJOR_VERSION, &g_glMajorVersion);
    glGetIntegerv(GL_MINOR_VERSION, &g_glMinorVersion);
    return g_glMajorVersion < 3 ? -1 : 0;
}

bool IsGLSectionProvided(const GLSection& section, int major, int minor,
                         const std::vector<std::string>& extensions) {
    if (section.version > 0) {
        // Minor versions stay below 10 in every GL release.
        return major * 10 + std::min(minor, 9) >= section.version;
    }
    return std::find(extensions.begin(), extensions.end(), section.name) != extensions.end();
}

bool ParseGLVersionString(const char* text, int* major, int* minor) {
    if (text == nullptr) return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    if (!std::isdigit(p[0]) || p[1] != '.' || !std::isdigit(p[2])) return false;
    *major = p[0] - '0';
    *minor = p[2] - '0';
    return true;
}
