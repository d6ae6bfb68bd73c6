#include "TileMotif.h"

#include "FlipTile.h"

namespace {

struct Layout {
    Rect tiles[2];
    int count;
    float radius;
    float hinge;
};

// Edges and the hinge line sit on whole pixels at 16 and 32 pixels so the
// small icons stay crisp; larger sizes scale the 32-pixel design.
Layout LayoutFor(Motif motif, float n) {
    if (n <= 16.0f) {
        if (motif == Motif::TilePair) return {{{0, 1, 7, 16}, {9, 1, 16, 16}}, 2, 2.0f, 1.0f};
        return {{{2, 1, 14, 16}, {}}, 1, 2.5f, 1.0f};
    }
    const float k = n / 32.0f;
    if (motif == Motif::TilePair) {
        return {{{1 * k, 3 * k, 15 * k, 30 * k}, {17 * k, 3 * k, 31 * k, 30 * k}},
                2,
                3.5f * k,
                1.0f * k};
    }
    return {{{5 * k, 3 * k, 27 * k, 30 * k}, {}}, 1, 4.0f * k, 1.0f * k};
}

Rect Scaled(const Rect& r, float s) { return {r.left * s, r.top * s, r.right * s, r.bottom * s}; }

}  // namespace

Canvas DrawMotif(const FontFace& font, Motif motif, int size) {
    // Small sizes are drawn larger and averaged down, which anti-aliases the
    // digits better than rendering them a few pixels high.
    const int super = size <= 64 ? 256 / size : 1;
    const float s = static_cast<float>(super);
    const Layout layout = LayoutFor(motif, static_cast<float>(size));
    // A dark split at the hinge rather than the clock's light line, under the
    // digit: at icon sizes a line across it would cut it apart.
    // Narrow tiles take narrower digits so that both fit side by side.
    const bool pair = motif == Motif::TilePair;
    const TileLook look{
        Grey(76.0f),      Grey(22.0f),         Grey(226.0f),         layout.radius * s,
        layout.hinge * s, pair ? 0.67f : 0.7f, pair ? 0.77f : 0.88f, false};
    Canvas canvas(size * super, size * super, Grey(0.0f, 0.0f));
    const char* digits = pair ? "12" : "7";
    for (int i = 0; i < layout.count; ++i) {
        const RoundSide round = layout.count == 1 ? RoundSide::Both
                                : i == 0          ? RoundSide::Left
                                                  : RoundSide::Right;
        DrawFlipTile(canvas, font, Scaled(layout.tiles[i], s), round, digits[i], look);
    }
    return super > 1 ? canvas.Downsampled(super) : canvas;
}
