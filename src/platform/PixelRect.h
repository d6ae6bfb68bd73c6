// A rectangle of a framebuffer or window, in pixels.
#pragma once

#include <cstdint>

// A rectangle of a framebuffer in pixels: x from the left, y from the bottom
// (GL's window coordinates).
struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

inline bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
