// Test helpers that read the fields of embedded files (BMP, WAVE, icons)
// from resource bytes. Every read is bounds-checked: a field past the end
// reads as absent instead of touching memory beyond the resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Resources.h"

class ByteReader {
public:
    explicit ByteReader(ResourceBytes bytes)
        : data_(bytes.data), size_(bytes.data ? bytes.size : 0) {}
    ByteReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Size() const { return size_; }
    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    // Little-endian unsigned fields; nullopt past the end.
    std::optional<std::uint32_t> U8(std::size_t offset) const { return Field(offset, 1); }
    std::optional<std::uint32_t> U16(std::size_t offset) const { return Field(offset, 2); }
    std::optional<std::uint32_t> U32(std::size_t offset) const { return Field(offset, 4); }
    std::optional<std::int32_t> I32(std::size_t offset) const {
        const auto v = U32(offset);
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    // Four characters, as RIFF tags are stored; empty past the end.
    std::string Tag(std::size_t offset) const {
        if (!Has(offset, 4)) return {};
        return std::string(reinterpret_cast<const char*>(data_ + offset), 4);
    }
    const unsigned char* At(std::size_t offset) const { return data_ + offset; }

private:
    std::optional<std::uint32_t> Field(std::size_t offset, std::size_t length) const {
        if (data_ == nullptr || !Has(offset, length)) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = length; i-- > 0;) v = v << 8 | data_[offset + i];
        return v;
    }

    const unsigned char* data_;
    std::size_t size_;
};

// A device-independent bitmap as a BITMAP resource or an icon image holds
// it: a BITMAPINFOHEADER, an optional palette, then the rows.
struct Dib {
    int width = 0;
    int height = 0;  // the header's height (icons: image and mask together)
    int bitCount = 0;
    int compression = 0;
    bool bottomUp = true;
    std::size_t paletteOffset = 0;
    int paletteSize = 0;
    std::size_t pixelOffset = 0;
    std::size_t stride = 0;
    ByteReader bytes{nullptr, 0};

    // Channel c (0 blue, 1 green, 2 red, 3 alpha) of pixel (x, y) counted
    // from the top; for 24 and 32 bits only.
    int Channel(int x, int y, int c) const {
        const int row = bottomUp ? height - 1 - y : y;
        return static_cast<int>(*bytes.U8(pixelOffset + row * stride + x * (bitCount / 8) + c));
    }
    bool IsGrey(int x, int y) const {
        return Channel(x, y, 0) == Channel(x, y, 1) && Channel(x, y, 1) == Channel(x, y, 2);
    }
};

// Reads the header and checks that the palette and `rows` rows of pixels fit
// inside the bytes; nullopt otherwise.
std::optional<Dib> ReadDib(ByteReader bytes, int rows);
// The same with all rows that the header declares.
std::optional<Dib> ReadDib(ByteReader bytes);
