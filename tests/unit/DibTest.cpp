#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Resources.h"
#include "render/BitmapPixels.h"
#include "render/Dib.h"

namespace {

// The test bitmaps' pixel rule: red 0x30 + 16 x, green 0x20 + 16 y (y from
// the top), blue 0x10.
void ExpectTexel(const std::vector<float>& texels, int width, int row, int column, int x, int y) {
    const float* t = &texels[4 * (static_cast<std::size_t>(row) * width + column)];
    EXPECT_FLOAT_EQ(t[0], (0x30 + 16 * x) / 255.0f) << "row " << row << " column " << column;
    EXPECT_FLOAT_EQ(t[1], (0x20 + 16 * y) / 255.0f) << "row " << row << " column " << column;
    EXPECT_FLOAT_EQ(t[2], 0x10 / 255.0f) << "row " << row << " column " << column;
    EXPECT_FLOAT_EQ(t[3], 1.0f) << "row " << row << " column " << column;
}

void ExpectBlack(const std::vector<float>& texels, int width, int row, int column) {
    const float* t = &texels[4 * (static_cast<std::size_t>(row) * width + column)];
    EXPECT_EQ(t[0] + t[1] + t[2], 0.0f) << "row " << row << " column " << column;
    EXPECT_EQ(t[3], 1.0f);
}

struct Known {
    int id;
    int width;
    int height;
};

TEST(LoadBitmapPixels, RowsBottomUpChannelsRgbAlphaOne) {
    // 24-bit, 32-bit with a non-zero fourth byte, and 24-bit rows padded to
    // four bytes.
    for (const Known& k : {Known{9001, 4, 4}, Known{9002, 4, 4}, Known{9003, 3, 2}}) {
        std::vector<float> texels(static_cast<std::size_t>(k.width) * k.height * 4, -1.0f);
        LoadBitmapPixels(texels.data(), k.id, k.width, k.height);
        SCOPED_TRACE(::testing::Message() << "bitmap " << k.id);
        for (int row = 0; row < k.height; ++row) {
            for (int column = 0; column < k.width; ++column) {
                ExpectTexel(texels, k.width, row, column, column, k.height - 1 - row);
            }
        }
    }
}

TEST(LoadBitmapPixels, SizeMismatchStaysInsideBothPictures) {
    // Asked larger than the bitmap: the bitmap at the bottom left, black elsewhere.
    std::vector<float> larger(8 * 8 * 4, -1.0f);
    LoadBitmapPixels(larger.data(), 9001, 8, 8);
    ExpectTexel(larger, 8, 0, 0, 0, 3);
    ExpectTexel(larger, 8, 3, 3, 3, 0);
    ExpectBlack(larger, 8, 0, 4);
    ExpectBlack(larger, 8, 4, 0);
    ExpectBlack(larger, 8, 7, 7);
    // Asked smaller: only the overlap is read.
    std::vector<float> smaller(2 * 2 * 4, -1.0f);
    LoadBitmapPixels(smaller.data(), 9006, 2, 2);
    ExpectTexel(smaller, 2, 0, 0, 0, 7);
    ExpectTexel(smaller, 2, 1, 1, 1, 6);
    // A missing bitmap is all black.
    std::vector<float> missing(2 * 2 * 4, -1.0f);
    LoadBitmapPixels(missing.data(), 9999, 2, 2);
    for (int i = 0; i < 4; ++i) ExpectBlack(missing, 2, i / 2, i % 2);
}

// ---- malformed bitmaps -----------------------------------------------------------

std::vector<unsigned char> Header(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                  std::uint32_t compression, std::size_t dataBytes) {
    std::vector<unsigned char> bytes(40 + dataBytes, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&bytes[at], &v, 2); };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    put16(12, 1);
    put16(14, bits);
    put32(16, compression);
    return bytes;
}

TEST(ParseDib, AcceptsWellFormedRowsOnly) {
    DibImage image;
    EXPECT_TRUE(ParseDib(Header(3, 2, 24, 0, 24).data(), 64, &image));
    EXPECT_EQ(image.stride, 12u);
    EXPECT_TRUE(ParseDib(Header(3, -2, 32, 0, 24).data(), 64, &image));
    EXPECT_TRUE(image.topDown);

    struct Bad {
        const char* what;
        std::vector<unsigned char> bytes;
        std::size_t size;
    };
    std::vector<Bad> bad = {
        {"rows cut short", Header(3, 2, 24, 0, 23), 63},
        {"no header", Header(1, 1, 24, 0, 4), 39},
        {"zero width", Header(0, 1, 24, 0, 4), 44},
        {"negative width", Header(-4, 1, 24, 0, 16), 56},
        {"zero height", Header(4, 0, 24, 0, 16), 56},
        {"8 bits", Header(4, 1, 8, 0, 16), 56},
        {"run-length coded", Header(4, 1, 24, 1, 16), 56},
        {"huge sides, little data", Header(65536, 65536, 32, 0, 16), 56},
        {"beyond any side", Header(1 << 20, 1, 32, 0, 16), 56},
        {"most negative height", Header(4, INT32_MIN, 24, 0, 16), 56},
    };
    Bad palette{"palette past the end", Header(1, 1, 24, 0, 4), 44};
    const std::uint32_t entries = 0x40000000u;
    std::memcpy(&palette.bytes[32], &entries, 4);
    bad.push_back(palette);
    Bad header{"header larger than the bytes", Header(1, 1, 24, 0, 4), 44};
    const std::uint32_t headerSize = 0xFFFFFFF0u;
    std::memcpy(&header.bytes[0], &headerSize, 4);
    bad.push_back(header);
    Bad masks{"unusual bit masks", Header(1, 1, 32, 3, 16), 56};
    const std::uint32_t red = 0x000000FFu;
    std::memcpy(&masks.bytes[40], &red, 4);
    bad.push_back(masks);
    for (const Bad& b : bad) {
        EXPECT_FALSE(ParseDib(b.bytes.data(), b.size, &image)) << b.what;
    }
    EXPECT_FALSE(ParseDib(nullptr, 100, &image));
}

TEST(ParseDib, ReadsTheEmbeddedTestBitmaps) {
    DibImage image;
    const ResourceBytes padded = FindResourceBytes(9003, kBitmapResource);
    ASSERT_TRUE(ParseDib(padded.data, padded.size, &image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.bitsPerPixel, 24);
    // Rows stored top row first come out bottom-up all the same.
    const ResourceBytes topDown = FindResourceBytes(9007, kBitmapResource);
    ASSERT_TRUE(ParseDib(topDown.data, topDown.size, &image));
    EXPECT_TRUE(image.topDown);
    std::vector<float> texels(4 * 4 * 4, -1.0f);
    DibToTexels(&image, texels.data(), 4, 4);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            ExpectTexel(texels, 4, row, column, column, 3 - row);
        }
    }
    // Every cut of a real bitmap is refused or read within its bytes.
    for (std::size_t size = 0; size < padded.size; ++size) {
        std::vector<unsigned char> cut(padded.data, padded.data + size);
        EXPECT_FALSE(ParseDib(cut.data(), cut.size(), &image)) << size;
    }
}

}  // namespace
