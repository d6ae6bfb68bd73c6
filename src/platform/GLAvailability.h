// Which sections of the entry-point table a context provides, decided from
// its version and extension list. Needed where the platform's lookup answers
// for any name (GLX does), so the table cannot trust the lookup alone.
#pragma once

#include <string>
#include <vector>

#include "platform/GL.h"

// True when a context of version major.minor with these extensions offers
// the entry points of the section.
bool IsGLSectionProvided(const GLSection& section, int major, int minor,
                         const std::vector<std::string>& extensions);

// The version part of a GL_VERSION string ("4.5 (Compatibility Profile) Mesa
// 22.3.6" -> 4, 5). Returns false when the text does not start with one.
bool ParseGLVersionString(const char* text, int* major, int* minor);

// Reads the current context's version into g_glMajorVersion and
// g_glMinorVersion through the table: 0, or -1 when glGetIntegerv is
// missing or the version is below 3.0.
int ReadGLVersion();
