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
// The host asks once, before the first window opens, from what the GL of
// the display offers (host/FrameOutputs.h), and it costs nothing per frame.
#pragma once

#include "platform/PixelRect.h"

struct GLFWwindow;

// Whether the platform can present rectangles of a window's back buffer.
// Needs the windowing library initialised.
bool CanPresentRectangles();

// Shows rect of the back buffer of window, whose context is current, and
// keeps the back buffer as it is. Only where CanPresentRectangles.
void PresentRectangle(GLFWwindow* window, const PixelRect& rect);
