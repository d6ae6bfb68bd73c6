// The About window's picture: 110 x 83 at 32 bits, six light digits on
// grey tile faces over a dark ground.
#include <gtest/gtest.h>

#include <vector>

#include "ResourceReading.h"
#include "resources/ResourceIds.h"

namespace {

class AboutPicture : public ::testing::Test {
protected:
    void SetUp() override {
        auto dib = ReadDib(ByteReader(FindResourceBytes(kPreviewBitmapId, kBitmapResource)));
        ASSERT_TRUE(dib.has_value()) << "BITMAP 182 missing or cut short";
        picture = *dib;
    }
    int Value(int x, int y) const { return picture.Channel(x, y, 1); }

    Dib picture;
};

TEST_F(AboutPicture, Is110By83At32BitsUncompressed) {
    EXPECT_EQ(picture.width, 110);
    EXPECT_EQ(picture.height, 83);
    EXPECT_EQ(picture.bitCount, 32);
    EXPECT_EQ(picture.compression, 0);
}

TEST_F(AboutPicture, ShowsSixLightDigitsOnTileFacesOverADarkGround) {
    ASSERT_EQ(picture.width, 110);
    ASSERT_EQ(picture.bitCount, 32);
    for (int x : {0, 109}) {
        for (int y : {0, 82}) EXPECT_LT(Value(x, y), 40) << "corner " << x << "," << y;
    }
    // Columns holding digit ink form one run per digit: "2", "3", "3", "0",
    // "0", "9", separated by the tile faces' margins.
    std::vector<bool> inked(110, false);
    int face = 0;
    for (int x = 0; x < 110; ++x) {
        for (int y = 0; y < 83; ++y) {
            inked[x] = inked[x] || Value(x, y) > 165;
            face += Value(x, y) >= 70 && Value(x, y) <= 82;
        }
    }
    int runs = 0;
    for (int x = 0; x < 110; ++x) runs += inked[x] && (x == 0 || !inked[x - 1]);
    EXPECT_EQ(runs, 6);
    EXPECT_GT(face, 110 * 83 / 10) << "too little of the tiles' face grey";
    EXPECT_TRUE(picture.IsGrey(55, 41));
}

}  // namespace
