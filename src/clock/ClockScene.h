// The clock scene: built once, drawn every frame.
//
// Set-up creates, in order: the program registry, the scene state, the
// camera, the background and atlas textures, the three programs, the three
// drawables and the click player. A frame: first-frame capture of the time
// of day (later frames compare it with the system's now and then), clock
// update; then viewport, clear, projection, the background pass, the atlas,
// the tiles. The main loop runs the update every iteration and the drawing
// only into the windows whose picture changes.
#pragma once

#include <cstdint>

struct ClockView;
class CDirectSound;
class CFrameOutput;
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

// The clock's half of a frame, at the iteration's timer reading: the time of
// day kept (KeepTimeOfDay), then the digit records and the flip state
// advanced to that reading. Returns the timer reading at which the picture
// can next change: `timer` itself while a flap falls.
double UpdateClockFrame(double timer);

// The drawing half, into the current context's window seen through view,
// on that window's frame output: viewport, projection, then the steps the
// plan gives for what the output holds (FramePlan.h): what is put back or
// else the clear and the background pass, the atlas, the tiles. The main
// loop calls it for each window whose picture changed, then presents
// through the output.
void RenderClockFrame(const ClockView& view, CFrameOutput& output);
