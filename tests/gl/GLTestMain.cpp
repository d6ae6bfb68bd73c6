// The GL tests share one hidden GLFW window with a 3.0 context, made current
// and with the entry-point table filled before any test runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "clock/ClockScene.h"
#include "gl/GLTestContext.h"
#include "platform/GL.h"

GLFWwindow* g_testWindow = nullptr;
const char* g_testProgramPath = nullptr;

GLFWwindow* OpenTestWindow() {
    if (!glfwInit()) {
        std::fprintf(stderr, "GL tests: glfwInit failed (no display?)\n");
        return nullptr;
    }
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    g_testWindow = glfwCreateWindow(256, 256, "GL tests", nullptr, nullptr);
    glfwDefaultWindowHints();
    if (g_testWindow == nullptr) {
        std::fprintf(stderr, "GL tests: no 3.0 context\n");
        return nullptr;
    }
    glfwMakeContextCurrent(g_testWindow);
    if (LoadGLEntryPoints() != 0) {
        std::fprintf(stderr, "GL tests: entry points not loaded\n");
        return nullptr;
    }
    return g_testWindow;
}

void EnsureClockScene() {
    if (g_programRegistry == nullptr) SetupClockScene();
}

int main(int argc, char** argv) {
    g_testProgramPath = argv[0];
#ifndef _WIN32
    // A child run opens whatever context its mode needs.
    const std::string childFlag = "--child=";
    if (argc > 1 && std::string(argv[1]).rfind(childFlag, 0) == 0) {
        return RunGLTestChild(std::string(argv[1]).substr(childFlag.size()));
    }
#endif
    ::testing::InitGoogleTest(&argc, argv);
    if (OpenTestWindow() == nullptr) return 1;
    const int result = RUN_ALL_TESTS();
#ifdef _WIN32
    glfwTerminate();
#endif
    // On Linux the GL driver stays loaded until exit, so that the leak
    // checker of the sanitizer build can name (and skip) the driver's memory.
    return result;
}
