// The bench's reference: the clock as it ran before the main loop learnt to
// rest, drawing and swapping a frame every iteration, paced only by the
// swap. Same scene and start-up, and the window the loop once had: four
// samples, every frame drawn into it and swapped whole, wherever the clock
// itself would present rectangles. So the bench can set the resting loop's
// cost against it in one run, and the clock's end-to-end test its pixels.
// Where the display offers no four-sample window (Mesa's software renderer
// from Debian 13 on), each frame is drawn whole into the four-sample target
// that the clock itself draws into there, and resolved into the window,
// nothing kept from the frame before.
//
//   tolvane-continuous-loop /s
#include <string>

#include <GLFW/glfw3.h>

#include "clock/ClockScene.h"
#include "clock/RestingPicture.h"
#include "host/Application.h"
#include "host/CommandLine.h"
#include "platform/DisplayGlobals.h"
#include "platform/GL.h"
#include "platform/RectanglePresent.h"

int main(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        tail += argv[i];
    }
    g_commandLine = new CCommandLine(tail.c_str());
    // Whole frames into a multisampled window, as the loop once drew them.
    DeclineRectanglePresent();
    g_application = new GLFWApplication(g_commandLine);
    SetupClockScene();
    GLFWwindow* window = g_application->window;
    CRestingPicture cache(false);  // as the resting loop draws a window it swaps whole
    GLint windowSamples = 0;
    glGetIntegerv(GL_SAMPLES, &windowSamples);
    CRestingPicture offscreen(true);
    while (!glfwWindowShouldClose(window)) {
        AdvanceFrame(glfwGetTime());
        if (windowSamples == 0) {
            // Nothing kept from the frame before: each frame is drawn whole,
            // as the clock draws its first one.
            offscreen.Release();
            RenderClockFrame(g_windowWidth, g_windowHeight, &offscreen);
        } else {
            RenderClockFrame(g_windowWidth, g_windowHeight, &cache);
        }
        glfwSwapBuffers(window);
        glfwPollEvents();
    }
    return 0;
}
