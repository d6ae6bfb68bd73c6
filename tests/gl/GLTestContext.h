// The window whose context the GL tests run in (see GLTestMain.cpp).
#pragma once

#include <GLFW/glfw3.h>

extern GLFWwindow* g_testWindow;
