// The drawing size in pixels and its ratio: written by the host at start-up
// and by the window-size callback, read by the clock scene every frame.
#pragma once

#include <cstdint>

extern std::int32_t g_windowWidth;
extern std::int32_t g_windowHeight;
extern float g_aspectRatio;  // width / height as floats

// Stores a new drawing size and its ratio.
void StoreDisplaySize(std::int32_t width, std::int32_t height);

// width / height as floats; a zero height (a minimised window) keeps the
// ratio finite by counting it as 1.
float AspectRatioOf(std::int32_t width, std::int32_t height);
