// The clock scene: built once, drawn every frame.
//
// Set-up creates, in order: the program registry, the scene state, the
// camera, the background and atlas textures, the three programs, the three
// drawables and the click player. A frame: viewport, first-frame capture of
// the time of day, clock update, clear, projection, the background pass, the
// atlas, the tiles.
#pragma once

class CDirectSound;
class GLFWCamera;
class GLFWDrawableSky;
class GLFWProgramRegistry;
class GLFWSceneState;
class GLFWTexture;

extern GLFWProgramRegistry* g_programRegistry;
extern GLFWSceneState* g_sceneState;
extern GLFWCamera* g_camera;
extern GLFWTexture* g_backgroundTexture;
extern GLFWTexture* g_atlasTexture;
extern GLFWDrawableSky* g_backgroundDrawable;
extern GLFWDrawableSky* g_panelDrawable;
extern GLFWDrawableSky* g_digitDrawable;
extern CDirectSound* g_clickSound;

// Creates the scene's objects, with the GL context current.
void SetupClockScene();

// Draws one frame.
void RenderClockFrame();
