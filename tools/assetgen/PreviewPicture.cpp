#include "PreviewPicture.h"

#include <cmath>

#include "FlipTile.h"
#include "GlyphAtlas.h"

namespace {

constexpr int kWidth = 110;
constexpr int kHeight = 83;
constexpr int kSuper = 8;  // drawn this many times larger, then averaged down

// Tile centres across the clock, in the scene's units (1000 = window height),
// and the tile size there.
constexpr float kTileCentres[6] = {-546, -354, -92, 100, 360, 552};
constexpr float kTileWidth = 194.4f;
constexpr float kTileHeight = 313.0f;
constexpr float kClockLeft = -643.2f;
constexpr float kClockRight = 649.2f;

// A dark ground, lighter in the middle like the clock's background.
void DrawGround(Canvas& canvas) {
    const float cx = canvas.Width() * 0.5f;
    const float cy = canvas.Height() * 0.5f;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const float dx = (x + 0.5f - cx) / canvas.Width();
            const float dy = (y + 0.5f - cy) / canvas.Height();
            const float light = std::fmax(0.0f, 1.0f - 1.6f * std::sqrt(dx * dx + dy * dy));
            canvas.At(x, y) = Grey(14.0f + 24.0f * light);
        }
    }
}

}  // namespace

Canvas MakePreviewPicture(const FontFace& font) {
    Canvas canvas(kWidth * kSuper, kHeight * kSuper, Grey(0.0f));
    DrawGround(canvas);
    const float scale = (kWidth - 4.0f) * kSuper / (kClockRight - kClockLeft);
    const float originX = kWidth * kSuper * 0.5f - (kClockLeft + kClockRight) * 0.5f * scale;
    const float hingeY = kHeight * kSuper * 0.5f;
    const TileLook look{Grey(76.0f),   Grey(150.0f),        Grey(kGlyphGrey),  2.6f * kSuper,
                        1.0f * kSuper, kDigitHeightPerCell, kDigitWidthFactor, true};
    const char shown[] = "233009";
    for (int i = 0; i < 6; ++i) {
        const float cx = originX + kTileCentres[i] * scale;
        const Rect tile{cx - kTileWidth * 0.5f * scale, hingeY - kTileHeight * 0.5f * scale,
                        cx + kTileWidth * 0.5f * scale, hingeY + kTileHeight * 0.5f * scale};
        DrawFlipTile(canvas, font, tile, i % 2 == 0 ? RoundSide::Left : RoundSide::Right, shown[i],
                     look);
    }
    return canvas.Downsampled(kSuper);
}
