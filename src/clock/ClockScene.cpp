// The clock scene: set-up and the per-frame passes.
#include "clock/ClockScene.h"

#include "clock/ClockTime.h"
#include "platform/DisplayGlobals.h"
#include "platform/GL.h"
#include "render/Program.h"
#include "render/SceneState.h"
#include "resources/ResourceIds.h"

GLFWSceneState* g_sceneState = nullptr;
GLFWProgramRegistry* g_programRegistry = nullptr;

void SetupClockScene() {
    g_programRegistry = new GLFWProgramRegistry();
    g_sceneState = new GLFWSceneState();
    g_programRegistry->Add("BackgroundProgram", kBackgroundVertexShaderId,
                           kBackgroundFragmentShaderId);
    g_programRegistry->Add("PanelProgram", kPanelVertexShaderId, kPanelFragmentShaderId);
    g_programRegistry->Add("DigitProgram", kDigitVertexShaderId, kDigitFragmentShaderId);
}

void RenderClockFrame() {
    glViewport(0, 0, g_windowWidth, g_windowHeight);
    if (g_clockFirstFrame != 0) {
        CaptureTimeOfDay();
        g_clockFirstFrame = 0;
    }
    UpdateClock();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g_sceneState->SetViewportSize(static_cast<float>(g_windowWidth),
                                  static_cast<float>(g_windowHeight));
}
