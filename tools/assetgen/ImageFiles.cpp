#include "ImageFiles.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

Bytes EncodeBmp(const Canvas& canvas, int bitsPerPixel) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const std::uint32_t stride = (canvas.Width() * bytesPerPixel + 3u) & ~3u;
    const std::uint32_t imageSize = stride * canvas.Height();
    Bytes out;
    out.reserve(54 + imageSize);
    PutU8(out, 'B');
    PutU8(out, 'M');
    PutU32(out, 54 + imageSize);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, canvas.Width());
    PutU32(out, canvas.Height());  // positive: bottom-up rows
    PutU16(out, 1);
    PutU16(out, bitsPerPixel);
    PutU32(out, 0);  // BI_RGB
    PutU32(out, imageSize);
    PutU32(out, 2835);  // 72 dpi
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgba& p = canvas.At(x, y);
            PutU8(out, ToByte(p.b));
            PutU8(out, ToByte(p.g));
            PutU8(out, ToByte(p.r));
            if (bytesPerPixel == 4) PutU8(out, ToByte(p.a));
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

[[noreturn]] void PngFailed(png_structp, png_const_charp message) {
    std::fprintf(stderr, "tolvane-assetgen: libpng: %s\n", message);
    std::exit(1);
}

}  // namespace

Bytes EncodePng(const Canvas& canvas) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFailed, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) PngFailed(png, "out of memory");
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, canvas.Width(), canvas.Height(), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(canvas.Width()) * 4);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgba& p = canvas.At(x, y);
            png_byte* q = &row[static_cast<size_t>(x) * 4];
            q[0] = ToByte(p.r);
            q[1] = ToByte(p.g);
            q[2] = ToByte(p.b);
            q[3] = ToByte(p.a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
