#include "FlipTile.h"

#include <algorithm>
#include <cmath>

void DrawGlyphCentred(Canvas& canvas, const GlyphBitmap& glyph, float cx, float cy, Rgba colour) {
    const int left = static_cast<int>(std::lround(cx - glyph.width * 0.5f));
    const int top = static_cast<int>(std::lround(cy - glyph.rows * 0.5f));
    for (int y = 0; y < glyph.rows; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            canvas.Blend(left + x, top + y, colour, glyph.At(x, y) / 255.0f);
        }
    }
}

void DrawFlipTile(Canvas& canvas, const FontFace& font, const Rect& tile, RoundSide round,
                  char glyph, const TileLook& look) {
    // A square side is a rounded rectangle stretched past it and cut off there.
    const float r = look.cornerRadius;
    const Rect rounded{round == RoundSide::Right ? tile.left - 2 * r : tile.left, tile.top,
                       round == RoundSide::Left ? tile.right + 2 * r : tile.right, tile.bottom};
    FillShape(
        canvas, tile,
        [&](float x, float y) {
            const float cut = std::max(tile.left - x, x - tile.right);
            return std::max(RoundedRectDistance(x, y, rounded, r), cut);
        },
        look.face);

    const float height = tile.bottom - tile.top;
    const float cx = (tile.left + tile.right) * 0.5f;
    const float cy = (tile.top + tile.bottom) * 0.5f;
    const GlyphBitmap g = font.Render(glyph, look.digitHeight * height, look.digitWidth);
    const Rect hinge{tile.left, cy - look.hingeWidth * 0.5f, tile.right,
                     cy + look.hingeWidth * 0.5f};
    auto drawHinge = [&] {
        FillShape(
            canvas, hinge,
            [&](float x, float y) {
                return std::max(std::max(hinge.left - x, x - hinge.right),
                                std::max(hinge.top - y, y - hinge.bottom));
            },
            look.hinge);
    };
    if (!look.hingeOverDigit) drawHinge();
    DrawGlyphCentred(canvas, g, cx, cy, look.digit);
    if (look.hingeOverDigit) drawHinge();
}
