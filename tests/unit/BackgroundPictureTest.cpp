// The background picture: a dark patterned band across the middle rows,
// lighter toward its centre, flat grey 17 above and below.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ResourceReading.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kBandTop = 384;
constexpr int kBandBottom = 1663;

class BackgroundPicture : public ::testing::Test {
protected:
    void SetUp() override {
        auto dib = ReadDib(ByteReader(FindResourceBytes(kBackgroundBitmapId, kBitmapResource)));
        ASSERT_TRUE(dib.has_value()) << "BITMAP 179 missing or cut short";
        picture = *dib;
        ASSERT_EQ(picture.width, 2048);
        ASSERT_EQ(picture.height, 2048);
        ASSERT_EQ(picture.bitCount, 24);
        ASSERT_EQ(picture.compression, 0);
    }
    int Value(int x, int y) const { return picture.Channel(x, y, 1); }
    double RowsMean(int from, int to) const {
        double sum = 0;
        for (int y = from; y <= to; ++y) {
            for (int x = 0; x < 2048; ++x) sum += Value(x, y);
        }
        return sum / ((to - from + 1) * 2048.0);
    }

    Dib picture;
};

TEST_F(BackgroundPicture, IsFlatGreyAboveAndBelowTheBand) {
    int off = 0;
    for (int y = 0; y < 2048; ++y) {
        if (y >= kBandTop && y <= kBandBottom) continue;
        for (int x = 0; x < 2048; ++x) {
            for (int c = 0; c < 3; ++c) off += picture.Channel(x, y, c) != 17;
        }
    }
    EXPECT_EQ(off, 0);
}

TEST_F(BackgroundPicture, BandIsFinelyPatternedOnEveryRow) {
    for (int y = kBandTop; y <= kBandBottom; ++y) {
        long steps = 0;
        for (int x = 1; x < 2048; ++x) steps += std::abs(Value(x, y) - Value(x - 1, y));
        // Neighbouring pixels differ by more than a grey level on average.
        ASSERT_GT(steps, 2047) << "row " << y << " is nearly flat";
    }
    for (int x = 0; x < 2048; x += 97) {
        long steps = 0;
        for (int y = kBandTop + 1; y <= kBandBottom; ++y) {
            steps += std::abs(Value(x, y) - Value(x, y - 1));
        }
        EXPECT_GT(steps, kBandBottom - kBandTop) << "column " << x << " is nearly flat";
    }
}

TEST_F(BackgroundPicture, BandIsDarkAndLighterTowardItsCentre) {
    const double edgeTop = RowsMean(kBandTop, kBandTop + 63);
    const double edgeBottom = RowsMean(kBandBottom - 63, kBandBottom);
    const double centre = RowsMean(992, 1055);
    EXPECT_GT(centre, edgeTop + 8.0);
    EXPECT_GT(centre, edgeBottom + 8.0);
    EXPECT_LT(centre, 80.0) << "the band should stay dark";
    int brightest = 0;
    for (int y = kBandTop; y <= kBandBottom; ++y) {
        for (int x = 0; x < 2048; ++x) brightest = std::max(brightest, Value(x, y));
    }
    EXPECT_LT(brightest, 110);
}

}  // namespace
