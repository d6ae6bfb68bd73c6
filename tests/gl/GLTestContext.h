// The window whose context the GL tests run in (see GLTestMain.cpp).
#pragma once

#include <GLFW/glfw3.h>

#include <string>

extern GLFWwindow* g_testWindow;

// The GL test program's own path, for tests that run it again as a child.
extern const char* g_testProgramPath;

// A child run ("--child=<mode>" on the command line): runs the mode and
// returns the exit code. Linux only.
int RunGLTestChild(const std::string& mode);

// Child modes of the GL entry-point tests; false for a mode they do not know.
bool RunGLEntryPointChild(const std::string& mode, int* exitCode);

// Initialises GLFW if needed, opens the hidden test window with a 3.0
// context, makes it current, fills the entry-point table and stores it in
// g_testWindow. Returns null when any step fails.
GLFWwindow* OpenTestWindow();

// Builds the clock scene (SetupClockScene) in the test window's context on
// the first call; later calls find it built. The scene's objects are global
// and live until the program ends, as in the program itself.
void EnsureClockScene();
