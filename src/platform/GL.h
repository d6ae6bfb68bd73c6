// OpenGL for the whole program: types, enums and the entry-point table.
//
// Every GL call (glClear, glUseProgram, ...) is a macro that calls through
// g_glEntryPoints, which LoadGLEntryPoints fills once a context is current.
// The table itself is generated from glcorearb.h (tools/gen_gl_table.py).
#pragma once

#include "gl_entry_points.h"

// Anisotropic filtering (EXT_texture_filter_anisotropic): used by textures
// without a test, as every driver this program meets offers it.
#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#define GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT 0x84FF
#endif

// The context's version as read by the last LoadGLEntryPoints.
extern int g_glMajorVersion;
extern int g_glMinorVersion;

// Fills the table from the current context, one lookup per name. Entries the
// context does not provide stay null. Returns 0, or -1 when the version
// cannot be read or is below 3.0.
int LoadGLEntryPoints();
