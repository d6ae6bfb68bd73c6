// Opening a full-screen clock window: the display window on the primary
// monitor, and each window the monitor follow opens on another monitor.
// Both go through here, so every full-screen window gets the same hints,
// title and undoing of the library's full-screen side effects.
#pragma once

#include "host/FrameOutputs.h"

struct GLFWmonitor;
struct GLFWvidmode;
struct GLFWwindow;

struct FullScreenRequest {
    GLFWmonitor* monitor = nullptr;
    const GLFWvidmode* mode = nullptr;  // the monitor's current mode; null: none known
    int width = 0;
    int height = 0;
    GLFWwindow* share = nullptr;  // the display window, for the other monitors' windows
    bool takeFocus = true;        // false: the display window keeps the focus
    FrameOutputKind output = FrameOutputKind::KeptCopies;  // what its frames are drawn through
};

// A full-screen window of the clock, its context sharing share's objects:
// OpenGL 3.0 with the samples its frame output asks for
// (DisplayWindowSetup.h), the monitor's current rate, no iconify on
// a loss of focus (the clock ends instead when another program takes it,
// MainLoop.cpp), the library's power request and borrowed settings undone
// (FullScreenEffects.h). Null when the library could not make it.
GLFWwindow* OpenFullScreenClockWindow(const FullScreenRequest& request);

// Moves a full-screen window to another monitor at its current mode, with
// the same undoing.
void MoveFullScreenClockWindow(GLFWwindow* window, GLFWmonitor* monitor, const GLFWvidmode& mode);
