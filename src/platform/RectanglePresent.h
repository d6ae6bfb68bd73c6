// Presenting only the part of a frame that changed, where the window system
// can show a rectangle of a window's back buffer and keep the rest of it.
//
// Mesa's software renderer can (GLX_MESA_copy_sub_buffer: a put of just that
// rectangle), but only a single-sample window's: a multisampled one is
// resolved whole first, which is most of what presenting costs there. So
// where the route is taken, every clock window is single-sample and its
// frames are drawn into a multisampled framebuffer of the program's own
// (render/SceneTarget.h). Everywhere else (Windows, whose swaps exchange
// buffers; a driver without the extension; a real GPU, where none of this
// is needed) frames are swapped whole into a multisampled window.
//
// The choice is made once, before the first window opens, from what the GL
// of the display offers, and costs nothing per frame.
#pragma once

#include "platform/PixelRect.h"

struct GLFWwindow;

// Whether the clock windows present rectangles: chosen at the first call,
// which needs the windowing library initialised and comes before the first
// window is opened; the same answer afterwards.
bool WindowsPresentRectangles();

// Before the first WindowsPresentRectangles: whole frames whatever the
// platform offers (the bench's every-frame reference, the loop as it was).
void DeclineRectanglePresent();

// Shows rect of the back buffer of window, whose context is current, and
// keeps the back buffer as it is. Only where WindowsPresentRectangles.
void PresentRectangle(GLFWwindow* window, const PixelRect& rect);
