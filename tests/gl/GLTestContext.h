// The window whose context the GL tests run in (see GLTestMain.cpp).
#pragma once

#include <GLFW/glfw3.h>

extern GLFWwindow* g_testWindow;

// Initialises GLFW if needed, opens the hidden test window with a 3.0
// context, makes it current, fills the entry-point table and stores it in
// g_testWindow. Returns null when any step fails.
GLFWwindow* OpenTestWindow();
