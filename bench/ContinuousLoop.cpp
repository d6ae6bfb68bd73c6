// The bench's reference: the clock as it ran before the main loop learnt to
// rest, drawing and swapping a frame every iteration, paced only by the
// swap. Same scene and start-up, and the window the loop once had: four
// samples, every frame drawn whole into it and swapped (the in-window frame
// output without kept copies), wherever the clock itself would present
// rectangles. So the bench can set the resting loop's cost against it in
// one run, and the clock's end-to-end test its pixels.
// Where the display offers no four-sample window (Mesa's software renderer
// from Debian 13 on), each frame is drawn whole into the four-sample target
// that the clock itself draws into there, and presented, nothing kept from
// the frame before.
//
//   tolvane-continuous-loop /s
#include <string>

#include <GLFW/glfw3.h>

#include "clock/ClockScene.h"
#include "host/Application.h"
#include "host/ClockWindows.h"
#include "host/CommandLine.h"
#include "host/FrameOutputs.h"
#include "platform/GL.h"
#include "platform/RectanglePresent.h"

int main(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    g_commandLine = new CCommandLine(tail.c_str());
    g_application = new GLFWApplication(g_commandLine, FrameOutputKind::Whole);
    SetupClockScene();
    CClockWindow& display = g_application->windows->Record(0);
    GLint windowSamples = 0;
    glGetIntegerv(GL_SAMPLES, &windowSamples);
    // The rectangle output presents through an entry point that only the
    // display's own choice of it looks up.
    const bool offscreen = windowSamples == 0 && CanPresentRectangles();
    if (offscreen) {
        display.output->Release();
        display.output = MakeFrameOutput(FrameOutputKind::Rectangles, display.window);
    }
    while (!glfwWindowShouldClose(display.window)) {
        AdvanceFrame(glfwGetTime());
        // Nothing kept from the frame before: each frame is drawn whole, as
        // the clock draws its first one.
        if (offscreen) display.output->Release();
        RenderClockFrame(display.view, *display.output);
        display.output->Present();
        glfwPollEvents();
    }
    return 0;
}
