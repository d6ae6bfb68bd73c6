// What every window the clock is drawn in gets: the display window, and the
// windows that cover the other monitors.
#pragma once

#include "host/FrameOutputs.h"

struct GLFWvidmode;
struct GLFWwindow;

// The window and context hints: OpenGL 3.0 with reset notification, the
// samples of the frame output the window gets (WindowSamples), no stereo.
void SetDisplayWindowHints(FrameOutputKind output);

// The refresh rate of a full-screen window: current, the monitor's current
// mode (null: none known, GLFW's choice). Left to itself GLFW takes the
// fastest rate of the size and switches the monitor to it, and nothing
// switches it back when the process ends through exit or a signal.
void HintRefreshRateOf(const GLFWvidmode* current);

// The input rules (any key or button ends the process at once; motion and
// the wheel never do), the window icon and the hidden cursor.
void SetupDisplayWindow(GLFWwindow* window);

// The fixed GL state of the current context, and its swap interval (1:
// the swap waits for the vertical retrace).
void SetFixedGLState(int swapInterval);
