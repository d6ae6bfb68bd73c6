#include "GlyphAtlas.h"

#include <initializer_list>

namespace {

constexpr int kAtlasSize = 2048;
constexpr int kCellWidth = 200;
constexpr int kCellHeight = 288;
constexpr float kGround = 76.0f;  // the tile face colour the clock samples
constexpr int kLetterMargin = 10;

struct Cell {
    char glyph;
    int left;
    int top;
};

// Where the clock's shader looks each glyph up.
constexpr Cell kCells[] = {
    {'A', 30, 0},    {'M', 30, 288},   {'P', 30, 576},   {'0', 30, 864},  {'1', 30, 1152},
    {'2', 30, 1440}, {'3', 30, 1728},  {'4', 420, 0},    {'5', 420, 288}, {'6', 420, 576},
    {'7', 420, 864}, {'8', 420, 1152}, {'9', 420, 1440},
};

void DrawCell(Canvas& atlas, const FontFace& font, const Cell& cell) {
    const GlyphBitmap g =
        font.Render(cell.glyph, kDigitHeightPerCell * kCellHeight, kDigitWidthFactor);
    // The ink's middle row lands on the cell's middle row, where the flap's
    // hinge cuts the glyph in halves.
    const int top = cell.top + kCellHeight / 2 - g.rows / 2;
    // Centred across; a glyph too wide for that ("A", "M") starts near the
    // left edge and runs over the right one, which the clock never samples.
    int left = cell.left + (kCellWidth - g.width) / 2;
    if (g.width > kCellWidth - 2 * kLetterMargin) left = cell.left + kLetterMargin;
    for (int y = 0; y < g.rows; ++y) {
        for (int x = 0; x < g.width; ++x) {
            atlas.Blend(left + x, top + y, Grey(kGlyphGrey), g.At(x, y) / 255.0f);
        }
    }
}

// The panel picture: a dark field with three rounded tile faces, each with
// a light outline and a hinge line across its middle.
void DrawPanel(Canvas& atlas) {
    constexpr int kPanelLeft = 760;
    constexpr int kPanelBottom = 769;  // last row of the panel
    for (int y = 0; y <= kPanelBottom; ++y) {
        for (int x = kPanelLeft; x < kAtlasSize; ++x) atlas.At(x, y) = Grey(42.0f);
    }
    constexpr int kFaceSize = 320;
    constexpr int kFaceTop = 199;
    constexpr float kCornerRadius = 36.0f;
    for (int faceLeft : {891, 1251, 1611}) {
        const Rect face{float(faceLeft), float(kFaceTop), float(faceLeft + kFaceSize),
                        float(kFaceTop + kFaceSize)};
        FillRoundedRect(atlas, face, kCornerRadius, Grey(kGround));
        StrokeRoundedRect(atlas, face, kCornerRadius, 1.0f, Grey(116.0f));
        const int hinge = kFaceTop + kFaceSize / 2;
        for (int x = faceLeft + 1; x < faceLeft + kFaceSize - 1; ++x) {
            atlas.At(x, hinge) = Grey(120.0f);
        }
    }
}

}  // namespace

Canvas MakeGlyphAtlas(const FontFace& font) {
    Canvas atlas(kAtlasSize, kAtlasSize, Grey(kGround));
    for (const Cell& cell : kCells) DrawCell(atlas, font, cell);
    DrawPanel(atlas);
    return atlas;
}
