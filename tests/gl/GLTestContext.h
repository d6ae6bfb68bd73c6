// The window whose context the GL tests run in (see GLTestMain.cpp).
#pragma once

#include <GLFW/glfw3.h>

#include <string>

extern GLFWwindow* g_testWindow;

// The GL test program's own path, for tests that run it again as a child.
extern const char* g_testProgramPath;

// A child run ("--child=<mode>" on the command line): runs the mode with the
// context current and returns the exit code. Linux only.
int RunGLTestChild(const std::string& mode);
