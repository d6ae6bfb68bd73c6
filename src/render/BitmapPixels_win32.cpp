// Bitmap pixels on Windows, through GDI.
// Implements: LoadBitmapA, then GetDIBits asked explicitly for 32-bit BI_RGB
// rows, bottom-up, so the result does not depend on the display's format.
// The bitmap is not selected into a device context while GetDIBits reads
// it, as GDI requires.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "render/BitmapPixels.h"
#include "render/Dib.h"

void LoadBitmapPixels(float* destination, int bitmapId, int width, int height) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
    HDC screen = GetDC(GetDesktopWindow());

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bool ok = bitmap != nullptr && GetDIBits(screen, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS);
    const int bitmapWidth = ok ? info.bmiHeader.biWidth : 0;
    const int bitmapHeight = ok ? std::abs(info.bmiHeader.biHeight) : 0;
    ok = ok && bitmapWidth > 0 && bitmapHeight > 0;

    std::vector<unsigned char> rows;
    DibImage image;
    if (ok) {
        info.bmiHeader.biHeight = bitmapHeight;  // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        info.bmiHeader.biSizeImage = 0;
        info.bmiHeader.biClrUsed = 0;
        rows.resize(static_cast<std::size_t>(bitmapWidth) * bitmapHeight * 4);
        ok = GetDIBits(screen, bitmap, 0, static_cast<UINT>(bitmapHeight), rows.data(), &info,
                       DIB_RGB_COLORS) == bitmapHeight;
        image.width = bitmapWidth;
        image.height = bitmapHeight;
        image.topDown = false;
        image.bitsPerPixel = 32;
        image.pixels = rows.data();
        image.stride = static_cast<std::size_t>(bitmapWidth) * 4;
    }
    DibToTexels(ok ? &image : nullptr, destination, width, height);

    ReleaseDC(GetDesktopWindow(), screen);
    if (bitmap != nullptr) DeleteObject(bitmap);
}
