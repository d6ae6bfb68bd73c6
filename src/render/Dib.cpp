#include "render/Dib.h"

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t ReadU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t ReadI32(const unsigned char* p) {
    const std::uint32_t u = ReadU32(p);
    std::int32_t value;
    std::memcpy(&value, &u, sizeof value);
    return value;
}

std::uint16_t ReadU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::int32_t kLargestSide = 1 << 16;  // far beyond any picture we carry

}  // namespace

bool ParseDib(const unsigned char* bytes, std::size_t size, DibImage* image) {
    if (bytes == nullptr || size < 40) return false;
    const std::uint32_t headerSize = ReadU32(bytes);
    if (headerSize < 40 || headerSize > size) return false;
    const std::int32_t width = ReadI32(bytes + 4);
    const std::int32_t height = ReadI32(bytes + 8);
    const std::uint16_t planes = ReadU16(bytes + 12);
    const std::uint16_t bits = ReadU16(bytes + 14);
    const std::uint32_t compression = ReadU32(bytes + 16);
    if (planes != 1 || (bits != 24 && bits != 32)) return false;
    if (width <= 0 || width > kLargestSide || height == 0 || height < -kLargestSide ||
        height > kLargestSide) {
        return false;
    }

    std::size_t offset = headerSize;
    if (compression == kBiBitfields) {
        if (bits != 32) return false;
        // Masks follow a plain 40-byte header; larger headers hold them inside.
        const std::size_t masksAt = 40;
        if (headerSize == 40) offset += 12;
        if (masksAt + 12 > size) return false;
        if (ReadU32(bytes + masksAt) != 0x00FF0000u ||
            ReadU32(bytes + masksAt + 4) != 0x0000FF00u ||
            ReadU32(bytes + masksAt + 8) != 0x000000FFu) {
            return false;
        }
    } else if (compression != kBiRgb) {
        return false;
    }
    // Pictures with more than 8 bits per pixel may still list a palette
    // (biClrUsed) that the rows follow.
    const std::uint32_t paletteEntries = ReadU32(bytes + 32);
    if (paletteEntries > (size - offset) / 4) return false;
    offset += static_cast<std::size_t>(paletteEntries) * 4;

    const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (offset > size || (size - offset) / stride < rows) return false;

    image->width = width;
    image->height = static_cast<int>(rows);
    image->topDown = height < 0;
    image->bitsPerPixel = bits;
    image->pixels = bytes + offset;
    image->stride = stride;
    return true;
}

void DibToTexels(const DibImage* image, float* destination, int width, int height) {
    const int coveredWidth = image != nullptr && image->width < width ? image->width : width;
    const int coveredHeight = image != nullptr && image->height < height ? image->height : height;
    const std::size_t bytesPerPixel = image != nullptr ? image->bitsPerPixel / 8 : 0;
    for (int r = 0; r < height; ++r) {
        float* row = destination + static_cast<std::size_t>(r) * width * 4;
        // Row r counts from the bottom of the picture.
        const unsigned char* source = nullptr;
        if (image != nullptr && r < coveredHeight) {
            const int stored = image->topDown ? image->height - 1 - r : r;
            source = image->pixels + static_cast<std::size_t>(stored) * image->stride;
        }
        for (int c = 0; c < width; ++c) {
            float* texel = row + static_cast<std::size_t>(c) * 4;
            if (source != nullptr && c < coveredWidth) {
                const unsigned char* pixel = source + static_cast<std::size_t>(c) * bytesPerPixel;
                texel[0] = pixel[2] / 255.0f;
                texel[1] = pixel[1] / 255.0f;
                texel[2] = pixel[0] / 255.0f;
            } else {
                texel[0] = texel[1] = texel[2] = 0.0f;
            }
            texel[3] = 1.0f;
        }
    }
}
