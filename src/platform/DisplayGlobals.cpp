#include "platform/DisplayGlobals.h"

std::int32_t g_windowWidth = 0;
std::int32_t g_windowHeight = 0;
float g_aspectRatio = 1.0f;

void StoreDisplaySize(std::int32_t width, std::int32_t height) {
    g_windowWidth = width;
    g_windowHeight = height;
    g_aspectRatio = AspectRatioOf(width, height);
}

float AspectRatioOf(std::int32_t width, std::int32_t height) {
    return static_cast<float>(width) / static_cast<float>(height > 0 ? height : 1);
}
