#include "IconFile.h"

#include "ImageFiles.h"

namespace {

// Alpha below half counts as transparent wherever only a mask can say so.
bool Transparent(const Rgba& p) { return p.a < 127.5f; }

// Palette index: a grey ramp of 16 or 256 steps, chosen by luminance.
std::uint32_t GreyIndex(const Rgba& p, int bits) {
    const float luma = 0.299f * p.r + 0.587f * p.g + 0.114f * p.b;
    const int steps = (1 << bits) - 1;
    return ToByte(luma * steps / 255.0f);
}

Bytes EncodeImage(const IconImage& image) {
    const Canvas& c = *image.picture;
    const int bits = image.bitsPerPixel;
    const int w = c.Width();
    const int h = c.Height();
    const int xorStride = ((w * bits + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;
    const int colours = bits <= 8 ? 1 << bits : 0;

    Bytes out;
    PutU32(out, 40);
    PutU32(out, w);
    PutU32(out, 2 * h);  // image and mask stacked
    PutU16(out, 1);
    PutU16(out, bits);
    PutU32(out, 0);
    PutU32(out, (xorStride + andStride) * h);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int i = 0; i < colours; ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(i * 255 / (colours - 1));
        PutU32(out, v | v << 8 | v << 16);
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < w; ++x) {
            const Rgba& p = c.At(x, y);
            if (bits == 32) {
                row[4 * x] = ToByte(p.b);
                row[4 * x + 1] = ToByte(p.g);
                row[4 * x + 2] = ToByte(p.r);
                row[4 * x + 3] = ToByte(p.a);
            } else if (!Transparent(p)) {
                const std::uint32_t index = GreyIndex(p, bits);
                if (bits == 8)
                    row[x] = static_cast<std::uint8_t>(index);
                else
                    row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
            }
        }
        Append(out, row);
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < w; ++x) {
            if (Transparent(c.At(x, y))) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        Append(out, row);
    }
    return out;
}

}  // namespace

Bytes EncodeIcon(const std::vector<IconImage>& images) {
    std::vector<Bytes> encoded;
    for (const IconImage& image : images) encoded.push_back(EncodeImage(image));
    Bytes out;
    PutU16(out, 0);
    PutU16(out, 1);  // icon, not cursor
    PutU16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = images[i].picture->Width();
        const int bits = images[i].bitsPerPixel;
        PutU8(out, size);
        PutU8(out, size);
        PutU8(out, bits == 4 ? 16 : 0);  // palette size; 0 means 256 or none
        PutU8(out, 0);
        PutU16(out, 1);
        PutU16(out, bits);
        PutU32(out, static_cast<std::uint32_t>(encoded[i].size()));
        PutU32(out, offset);
        offset += static_cast<std::uint32_t>(encoded[i].size());
    }
    for (const Bytes& e : encoded) Append(out, e);
    return out;
}
