// The file icons as the shell finds them (two icon groups naming six images
// each) and the large emblem picture.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <tuple>

#include "ResourceReading.h"
#include "resources/ResourceIds.h"

namespace {

struct Entry {
    int width, height, colours, planes, bits;
    std::uint32_t bytes;
    int id;
};

std::vector<Entry> ReadGroup(int groupId) {
    const ByteReader group(FindResourceBytes(groupId, kGroupIconResource));
    std::vector<Entry> entries;
    if (group.U16(0) != 0u || group.U16(2) != 1u || !group.U16(4)) return entries;
    const std::uint32_t count = *group.U16(4);
    if (!group.Has(6, 14 * count)) return entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 14 * i;
        entries.push_back({int(*group.U8(at)), int(*group.U8(at + 1)), int(*group.U8(at + 2)),
                           int(*group.U16(at + 4)), int(*group.U16(at + 6)), *group.U32(at + 8),
                           int(*group.U16(at + 12))});
    }
    return entries;
}

std::size_t MaskStride(const Dib& dib) { return (dib.width + 31) / 32 * 4; }

// An icon image: the header's height counts the image and its mask; the
// image rows come first, then the 1-bit mask rows, both bottom-up.
std::optional<Dib> ReadIconImage(int id) {
    const ByteReader bytes(FindResourceBytes(id, kIconResource));
    auto dib = ReadDib(bytes, bytes.I32(4).value_or(0));
    if (!dib ||
        !bytes.Has(dib->pixelOffset, dib->stride * dib->width + MaskStride(*dib) * dib->width)) {
        return std::nullopt;
    }
    return dib;
}

// Bit (x, y) of the mask, y from the top; 1 means transparent.
bool MaskBit(const Dib& dib, int x, int y) {
    const std::size_t row = dib.width - 1 - y;
    const std::size_t at = dib.pixelOffset + dib.stride * dib.width + row * MaskStride(dib) + x / 8;
    return (dib.bytes.U8(at).value_or(0) >> (7 - x % 8)) & 1;
}

// Alpha of pixel (x, y) of a 32-bit icon image, y from the top.
int Alpha(const Dib& dib, int x, int y) {
    const std::size_t row = dib.width - 1 - y;
    return static_cast<int>(
        dib.bytes.U8(dib.pixelOffset + row * dib.stride + 4 * x + 3).value_or(0));
}

class IconGroup : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(IconGroup, NamesSixImagesAt32And16PixelsAnd4And8And32Bits) {
    const auto [groupId, firstImage] = GetParam();
    const std::vector<Entry> entries = ReadGroup(groupId);
    ASSERT_EQ(entries.size(), 6u);
    std::set<std::pair<int, int>> sizesAndBits;
    std::set<int> ids;
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.id);
        sizesAndBits.insert({e.width, e.bits});
        ids.insert(e.id);
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.planes, 1);
        EXPECT_EQ(e.colours, e.bits == 4 ? 16 : 0);

        const ResourceBytes image = FindResourceBytes(e.id, kIconResource);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(image.size, e.bytes);
        const auto dib = ReadIconImage(e.id);
        ASSERT_TRUE(dib.has_value()) << "image and mask must fit the resource";
        EXPECT_EQ(dib->width, e.width);
        EXPECT_EQ(dib->height, 2 * e.width) << "image and mask";
        EXPECT_EQ(dib->bitCount, e.bits);
        EXPECT_EQ(dib->compression, 0);
        EXPECT_EQ(dib->pixelOffset + (dib->stride + MaskStride(*dib)) * e.width, image.size);
    }
    const std::set<std::pair<int, int>> wanted{{32, 4}, {32, 8}, {32, 32},
                                               {16, 4}, {16, 8}, {16, 32}};
    EXPECT_EQ(sizesAndBits, wanted);
    std::set<int> wantedIds;
    for (int i = 0; i < 6; ++i) wantedIds.insert(firstImage + i);
    EXPECT_EQ(ids, wantedIds);
}

INSTANTIATE_TEST_SUITE_P(FileIcons, IconGroup,
                         ::testing::Values(std::make_tuple(kFileIconGroupId, 1),
                                           std::make_tuple(kSecondIconGroupId, 7)));

TEST(IconImages, MasksAgreeWithTheAlphaOfTheTrueColourImage) {
    for (int groupId : {kFileIconGroupId, kSecondIconGroupId}) {
        const std::vector<Entry> entries = ReadGroup(groupId);
        for (const Entry& full : entries) {
            if (full.bits != 32) continue;
            const auto alpha = ReadIconImage(full.id);
            ASSERT_TRUE(alpha.has_value());
            int transparent = 0;
            for (const Entry& e : entries) {
                if (e.width != full.width) continue;
                const auto dib = ReadIconImage(e.id);
                ASSERT_TRUE(dib.has_value());
                for (int y = 0; y < e.width; ++y) {
                    for (int x = 0; x < e.width; ++x) {
                        const int a = Alpha(*alpha, x, y);
                        EXPECT_EQ(MaskBit(*dib, x, y), a < 128)
                            << "group " << groupId << " image " << e.id << " at " << x << "," << y;
                        transparent += a == 0;
                    }
                }
            }
            EXPECT_GT(transparent, 0) << "the emblem should leave the corners clear";
        }
    }
}

TEST(EmblemPicture, IsA2400SquareRgbaPng) {
    const ByteReader png(FindResourceBytes(kLargePictureId, kPngResource));
    ASSERT_TRUE(png.Has(0, 33));
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(png.U8(i), signature[i]) << i;
    EXPECT_EQ(png.Tag(12), "IHDR");
    auto bigEndian = [&](std::size_t at) {
        return *png.U8(at) << 24 | *png.U8(at + 1) << 16 | *png.U8(at + 2) << 8 | *png.U8(at + 3);
    };
    EXPECT_EQ(bigEndian(16), 2400u);
    EXPECT_EQ(bigEndian(20), 2400u);
    EXPECT_EQ(png.U8(24), 8u) << "bits per channel";
    EXPECT_EQ(png.U8(25), 6u) << "RGBA";
}

}  // namespace
