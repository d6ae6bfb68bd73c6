// The glyph atlas as the program finds it among its resources: format,
// ground, where each glyph's ink lies and how bright it is, the panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ResourceReading.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kGround = 76;
constexpr int kCellWidth = 200;
constexpr int kCellHeight = 288;

struct Cell {
    char glyph;
    int left;
    int top;
};

constexpr Cell kCells[] = {
    {'A', 30, 0},    {'M', 30, 288},   {'P', 30, 576},   {'0', 30, 864},  {'1', 30, 1152},
    {'2', 30, 1440}, {'3', 30, 1728},  {'4', 420, 0},    {'5', 420, 288}, {'6', 420, 576},
    {'7', 420, 864}, {'8', 420, 1152}, {'9', 420, 1440},
};

// "A" and "M" may run past their cell's right edge, up to the next column.
int InkRight(const Cell& c) { return c.glyph == 'A' || c.glyph == 'M' ? 420 : c.left + kCellWidth; }

const Cell* CellOf(int x, int y) {
    for (const Cell& c : kCells) {
        if (x >= c.left && x < InkRight(c) && y >= c.top && y < c.top + kCellHeight) return &c;
    }
    return nullptr;
}

struct Ink {
    int pixels = 0;
    int top = 1 << 30;
    int bottom = -1;
    int brightest = 0;
};

class GlyphAtlas : public ::testing::Test {
protected:
    void SetUp() override {
        auto dib = ReadDib(ByteReader(FindResourceBytes(kAtlasBitmapId, kBitmapResource)));
        ASSERT_TRUE(dib.has_value()) << "BITMAP 180 missing or cut short";
        atlas = *dib;
        ASSERT_EQ(atlas.width, 2048);
        ASSERT_EQ(atlas.height, 2048);
        ASSERT_EQ(atlas.bitCount, 24);
    }
    int Value(int x, int y) const { return atlas.Channel(x, y, 0); }

    Dib atlas;
};

TEST_F(GlyphAtlas, IsAnUncompressedBottomUpPictureInGreysOnly) {
    EXPECT_EQ(atlas.compression, 0);
    EXPECT_TRUE(atlas.bottomUp);
    int coloured = 0;
    for (int y = 0; y < 2048; ++y) {
        for (int x = 0; x < 2048; ++x) coloured += atlas.IsGrey(x, y) ? 0 : 1;
    }
    EXPECT_EQ(coloured, 0);
}

TEST_F(GlyphAtlas, GroundIsTheTileFaceGreyOutsideGlyphsAndPanel) {
    for (int y = 0; y < 2048; y += 7) {
        EXPECT_EQ(Value(5, y), kGround) << "left margin, row " << y;
        EXPECT_EQ(Value(700, y), kGround) << "between glyphs and panel, row " << y;
    }
    for (int x = 760; x < 2048; x += 11) {
        EXPECT_EQ(Value(x, 770), kGround) << "just below the panel, column " << x;
        EXPECT_EQ(Value(x, 2047), kGround) << "bottom row, column " << x;
    }
}

TEST_F(GlyphAtlas, EveryGlyphIsLightInkInsideItsCellCentredOnTheMiddleRow) {
    std::vector<Ink> ink(std::size(kCells));
    int strayPixels = 0;
    for (int y = 0; y < 2048; ++y) {
        for (int x = 0; x < 760; ++x) {
            const int v = Value(x, y);
            if (v <= kGround) continue;
            const Cell* c = CellOf(x, y);
            if (c == nullptr) {
                ++strayPixels;
                continue;
            }
            Ink& i = ink[c - kCells];
            ++i.pixels;
            i.top = std::min(i.top, y);
            i.bottom = std::max(i.bottom, y);
            i.brightest = std::max(i.brightest, v);
        }
    }
    EXPECT_EQ(strayPixels, 0) << "ink outside every glyph cell";
    for (size_t n = 0; n < std::size(kCells); ++n) {
        const Cell& c = kCells[n];
        const Ink& i = ink[n];
        SCOPED_TRACE(std::string("glyph ") + c.glyph);
        // Bold and large, as on a flip clock: most of the cell's height, a
        // good share of its area.
        EXPECT_GT(i.pixels, kCellWidth * kCellHeight / 8);
        EXPECT_GE(i.bottom - i.top + 1, kCellHeight * 6 / 10);
        EXPECT_LE(i.brightest, 183);
        EXPECT_GE(i.brightest, 150) << "the glyph should be light grey";
        const double middle = (i.top + i.bottom) / 2.0;
        EXPECT_NEAR(middle, c.top + kCellHeight / 2.0, 3.0);
    }
}

TEST_F(GlyphAtlas, DigitsHaveTheirOwnShapes) {
    auto centre = [&](char glyph) {
        for (const Cell& c : kCells) {
            if (c.glyph == glyph) return Value(c.left + kCellWidth / 2, c.top + kCellHeight / 2);
        }
        return -1;
    };
    auto inkCount = [&](char glyph) {
        for (const Cell& c : kCells) {
            if (c.glyph != glyph) continue;
            int n = 0;
            for (int y = c.top; y < c.top + kCellHeight; ++y) {
                for (int x = c.left; x < c.left + kCellWidth; ++x) n += Value(x, y) > kGround;
            }
            return n;
        }
        return -1;
    };
    EXPECT_EQ(centre('0'), kGround) << "a zero is hollow";
    EXPECT_GT(centre('8'), 150) << "an eight's strokes meet in the middle";
    EXPECT_GT(inkCount('8'), inkCount('1'));
    EXPECT_GT(inkCount('8'), inkCount('7'));
    // No two cells hold the same picture.
    for (const Cell& a : kCells) {
        for (const Cell& b : kCells) {
            if (&b <= &a) continue;
            int differing = 0;
            for (int y = 0; y < kCellHeight; ++y) {
                for (int x = 0; x < kCellWidth; ++x) {
                    differing += Value(a.left + x, a.top + y) != Value(b.left + x, b.top + y);
                }
            }
            EXPECT_GT(differing, 1000) << a.glyph << " and " << b.glyph << " look alike";
        }
    }
}

TEST_F(GlyphAtlas, PanelIsDarkWithThreeOutlinedFacesSplitAcrossTheMiddle) {
    for (int x : {760, 800, 1240, 2047}) {
        EXPECT_EQ(Value(x, 0), 42) << x;
        EXPECT_EQ(Value(x, 769), 42) << x;
        EXPECT_EQ(Value(x, 150), 42) << x;
    }
    auto isLine = [&](int x, int y) { return Value(x, y) >= 116 && Value(x, y) <= 120; };
    for (int left : {891, 1251, 1611}) {
        SCOPED_TRACE(left);
        const int top = 199;
        const int right = left + 319;
        const int bottom = top + 319;
        const int mx = left + 160;
        EXPECT_EQ(Value(left - 1, 300), 42);
        EXPECT_EQ(Value(right + 1, 300), 42);
        EXPECT_EQ(Value(mx, top - 1), 42);
        EXPECT_EQ(Value(mx, bottom + 1), 42);
        EXPECT_TRUE(isLine(left, 300));
        EXPECT_TRUE(isLine(right, 300));
        EXPECT_TRUE(isLine(mx, top));
        EXPECT_TRUE(isLine(mx, bottom));
        for (int x = left + 1; x < right; x += 13) {
            EXPECT_TRUE(isLine(x, top + 160)) << "hinge line at column " << x;
        }
        for (int y : {top + 1, top + 80, top + 159, top + 161, top + 240, bottom - 1}) {
            EXPECT_EQ(Value(mx, y), kGround) << "face at row " << y;
        }
        // The corners are rounded: the outermost corner pixel is panel.
        EXPECT_EQ(Value(left, top), 42);
        EXPECT_EQ(Value(right, bottom), 42);
    }
}

}  // namespace
