// The display window's drawing size in pixels and its ratio: stored by its
// window record (host/ClockWindows.h) as the window opens and as its size
// changes. Each window's frames are drawn through the view its record keeps.
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
