// Reading device-independent bitmaps (the BITMAP resource format: a
// BITMAPINFOHEADER, optional masks or palette, then the rows) into the
// texels a texture is made from. Everything stays inside the given bytes.
#pragma once

#include <cstddef>

struct DibImage {
    int width = 0;
    int height = 0;        // always positive
    bool topDown = false;  // rows stored top row first
    int bitsPerPixel = 0;  // 24 or 32
    const unsigned char* pixels = nullptr;
    std::size_t stride = 0;  // bytes per stored row, padding included
};

// Parses a DIB of 24 or 32 bits per pixel, uncompressed (BI_RGB, or
// BI_BITFIELDS with the usual blue-green-red masks). False for anything
// else, or when the rows would run past the end of the bytes.
bool ParseDib(const unsigned char* bytes, std::size_t size, DibImage* image);

// Fills width x height texels, four floats each (red, green, blue from the
// byte values / 255, alpha 1), rows bottom-up. Texels the image does not
// cover (it is smaller, or missing: image null) are opaque black.
void DibToTexels(const DibImage* image, float* destination, int width, int height);
