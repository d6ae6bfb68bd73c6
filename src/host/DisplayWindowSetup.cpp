#include "host/DisplayWindowSetup.h"

#include <cstdlib>

#include "host/WindowIcon.h"
#include "platform/GL.h"

#include <GLFW/glfw3.h>

namespace {

void OnKey(GLFWwindow* /*window*/, int /*key*/, int /*scancode*/, int /*action*/, int /*mods*/) {
    std::exit(0);
}

void OnMouseButton(GLFWwindow* /*window*/, int /*button*/, int /*action*/, int /*mods*/) {
    std::exit(0);
}

void OnCursorPos(GLFWwindow* /*window*/, double /*x*/, double /*y*/) {}
void OnScroll(GLFWwindow* /*window*/, double /*dx*/, double /*dy*/) {}

}  // namespace

void SetDisplayWindowHints(FrameOutputKind output) {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
    glfwWindowHint(GLFW_SAMPLES, WindowSamples(output));
    glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
}

void HintRefreshRateOf(const GLFWvidmode* current) {
    glfwWindowHint(GLFW_REFRESH_RATE, current != nullptr ? current->refreshRate : GLFW_DONT_CARE);
}

void SetupDisplayWindow(GLFWwindow* window) {
    glfwSetKeyCallback(window, OnKey);
    glfwSetMouseButtonCallback(window, OnMouseButton);
    glfwSetCursorPosCallback(window, OnCursorPos);
    glfwSetScrollCallback(window, OnScroll);
    GLFWimage icon{kWindowIconSize, kWindowIconSize, const_cast<unsigned char*>(kWindowIconPixels)};
    glfwSetWindowIcon(window, 1, &icon);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

void SetFixedGLState(int swapInterval) {
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthRange(0.0, 1.0);
    glEnable(GL_MULTISAMPLE);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glfwSwapInterval(swapInterval);
}
