// The clock scene: built once, drawn every frame.
//
// Set-up creates, in order: the program registry, the scene state, the
// camera, the background and atlas textures, the three programs, the three
// drawables and the click player. A frame: first-frame capture of the time
// of day (later frames compare it with the system's now and then), clock
// update; then, for each window whose picture changes, viewport, projection
// and the steps planned for its frame output (FramePlan.h): what is put
// back or else the clear and the background pass, the atlas, the tiles.
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

// The clock's state, kept by the time model (ClockTime.h) and the flips
// (FlipTiles.h), is advanced here, where both meet.
// Takes the time of day again as a first frame at timer reading `timer`
// would: the new seconds of day, counted from that reading, and every tile
// idle, so a flap under way is not left half-fallen.
void FollowTimeOfDay(double localSecondsOfDay, double timer);

// FollowTimeOfDay with the local time read now, at timer reading timer:
// after a time in which the clock was not seen. The next check is a full
// interval later.
void RetakeTimeOfDay(double timer);

// Every frame, at its timer reading: the first captures the time of day and
// counts the clock from that reading, so the clock neither runs ahead by
// the start-up time nor steps back at the first check; later ones, when a
// check is due, read the local time and follow it if the clock has parted
// from it.
void KeepTimeOfDay(double timer);

// Once per frame, at timer reading `timer` (glfwGetTime): both digit records
// and the flip state for the clock time then. Returns that clock time, for
// the main loop to know when the picture can next change.
double UpdateClock(double timer);

// UpdateClock's work for a given clock time.
void UpdateClockAt(double clockTime);

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
