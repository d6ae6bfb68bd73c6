// The clock scene: built once, drawn every frame.
#pragma once

class GLFWSceneState;
class GLFWProgramRegistry;

extern GLFWSceneState* g_sceneState;
extern GLFWProgramRegistry* g_programRegistry;

// Creates the scene's objects, with the GL context current.
void SetupClockScene();

// Draws one frame: viewport, first-frame capture of the time of day, clock
// update, clear, and the passes.
void RenderClockFrame();
