#include "Background.h"

#include <cmath>

#include "Noise.h"

namespace {

constexpr int kSize = 2048;
constexpr int kBandTop = 384;
constexpr int kBandBottom = 1663;  // last row of the band
constexpr float kOutside = 17.0f;
constexpr int kWeaveCell = 8;  // pixels per crossing of the weave
constexpr float kPi = 3.14159265f;

// 0 at the band's edges, 1 at its middle, smooth in between.
float Bump(float pos, float from, float to) {
    const float p = (pos - from) / (to - from) * 2.0f - 1.0f;
    return 0.5f + 0.5f * std::cos(kPi * p);
}

// A twill weave like carbon fibre: tows that run across and down, each
// going over two and under two crossings, the pattern shifted one step per
// row, lit so that the tows running across shine a little more.
float Weave(int x, int y) {
    const int cx = x / kWeaveCell;
    const int cy = y / kWeaveCell;
    const bool across = (cx + cy) % 4 < 2;
    const float u = (x % kWeaveCell + 0.5f) / kWeaveCell;
    const float v = (y % kWeaveCell + 0.5f) / kWeaveCell;
    const float roundness = std::sin(kPi * (across ? v : u));
    // Single fibres: a streak that stays the same along a tow's length.
    const std::uint32_t fibre = across ? Hash(y, cx, 1) : Hash(x, cy, 2);
    const float streak = Unit(fibre) - 0.5f;
    return (across ? 1.0f : 0.72f) * (0.45f + 0.55f * roundness) + 0.18f * streak;
}

}  // namespace

Canvas MakeBackground() {
    Canvas picture(kSize, kSize, Grey(kOutside));
    for (int y = kBandTop; y <= kBandBottom; ++y) {
        const float down = Bump(y + 0.5f, kBandTop, kBandBottom + 1.0f);
        for (int x = 0; x < kSize; ++x) {
            const float across = Bump(x + 0.5f, 0.0f, kSize);
            const float light = 13.0f + 20.0f * down + 8.0f * across * down;
            const float grain = Unit(Hash(x, y, 3)) - 0.5f;  // fine dither against banding
            picture.At(x, y) = Grey(9.0f + light * Weave(x, y) + 1.5f * grain);
        }
    }
    return picture;
}
