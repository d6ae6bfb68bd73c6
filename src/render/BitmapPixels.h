// The pixels of a BITMAP resource as float RGBA texels, rows bottom-up.
#pragma once

// Fills destination (width x height x 4 floats): red, green, blue = byte
// value / 255, alpha 1.0; texel (row r, column c) at 4 * (r * width + c),
// row 0 the picture's bottom row. Texels outside the bitmap (a missing
// bitmap, or one smaller than asked) are opaque black; a larger bitmap is
// read only where it overlaps.
//
// Windows reads the bitmap through GDI (LoadBitmapA, GetDIBits asked for
// 32-bit BI_RGB); Linux decodes the embedded resource's own rows.
void LoadBitmapPixels(float* destination, int bitmapId, int width, int height);
