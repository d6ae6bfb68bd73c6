// Encoders from a canvas to the picture files the resources are made of.
#pragma once

#include "AssetWriter.h"
#include "Canvas.h"

// A channel value rounded to a byte.
std::uint8_t ToByte(float v);

// Uncompressed BMP with its 14-byte file header, rows bottom-up, BI_RGB.
// 24 bits: blue, green, red. 32 bits: blue, green, red and alpha.
Bytes EncodeBmp(const Canvas& canvas, int bitsPerPixel);

// RGBA PNG, 8 bits per channel, at a fixed zlib level and without a time
// stamp, so the bytes depend only on the picture.
Bytes EncodePng(const Canvas& canvas);
