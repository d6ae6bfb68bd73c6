// The application object: the one display window and its OpenGL context.
#pragma once

#include <cstdint>
#include <optional>

#include "host/CommandLine.h"
#include "host/FrameOutputs.h"

class CClockWindows;
struct GLFWvidmode;
struct GLFWwindow;

class GLFWApplication {
public:
    // Display start-up: GLFW, drawing size, window (full screen, or attached
    // to the preview host) with its record in the window list, input
    // callbacks, context, icon, GL entry points and the fixed GL state. Ends
    // the process (exit code 0) when no window can be had. output: how the
    // frames reach the window; by default chosen for the platform
    // (ChooseFrameOutput).
    explicit GLFWApplication(CCommandLine* commandLine,
                             std::optional<FrameOutputKind> output = std::nullopt);

    // The main loop: builds the clock scene, then draws until an exit rule holds.
    void Run();

    GLFWwindow* window = nullptr;
    CCommandLine* commandLine = nullptr;
    CClockWindows* windows = nullptr;  // the display window first
};

// The frame step at the iteration's timer reading: frame time into the
// scene state, then the clock's update (the drawing is the main loop's to
// decide). Returns the timer reading at which the picture can next change.
double AdvanceFrame(double timer);

// The primary monitor's current video mode; null without a monitor.
const GLFWvidmode* PrimaryVideoMode();

extern GLFWApplication* g_application;
