// Bitmap pixels on Linux: the embedded BITMAP resource decoded directly.
// Implements: 24 and 32 bits per pixel, bottom-up and top-down rows, row
// padding. Lacks: palettised and compressed bitmaps (read as missing).
#include "platform/Resources.h"
#include "render/BitmapPixels.h"
#include "render/Dib.h"

void LoadBitmapPixels(float* destination, int bitmapId, int width, int height) {
    const ResourceBytes bytes = FindResourceBytes(bitmapId, kBitmapResource);
    DibImage image;
    const bool ok = ParseDib(bytes.data, bytes.size, &image);
    DibToTexels(ok ? &image : nullptr, destination, width, height);
}
