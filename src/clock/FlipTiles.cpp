#include "clock/FlipTiles.h"

#include <cmath>

#include "clock/ClockScene.h"
#include "clock/ClockTime.h"
#include "platform/DisplayGlobals.h"
#include "render/Drawable.h"
#include "render/Math.h"

std::uint8_t g_tileFlipping[10] = {};
double g_flipStartTime[10] = {};
float g_tileAngle[10] = {};

namespace {

// The two positions of each shown number, in update order.
struct TileGroup {
    int tens;
    int units;
};
constexpr TileGroup kGroups[] = {{8, 9}, {6, 7}, {4, 5}};

// Horizontal centre of each shown position, world units (index = position - 4).
constexpr float kTileCentreX[6] = {-546.0f, -354.0f, -92.0f, 100.0f, 360.0f, 552.0f};

constexpr float kHinge = 7.2f;
constexpr float kSize = 7.0f;
constexpr float kBackDepth = -100.0f;
constexpr float kComingDepth = -80.0f;
constexpr float kFlapDepth = -40.0f;
// The projection's depth: the tiles and the background lie well inside.
constexpr float kDepthRange = 1000.0f;

// A half-tile is the rectangle mesh (x from -2.5 to 2.5, y from -2.6302 to
// 2.3698) lifted by 2.66 and scaled by 7 * 20 / 3.6 across and 7 * 16 / 3.6
// up: 97.2 units each side of its centre, and at most 156.5 units above the
// hinge (at angle 0) or below it (at 180); a turning flap stays between.
// Two units more each way for the edges' antialiasing.
constexpr float kHalfTileReachX = 2.5f * kSize * 20.0f / 3.6f + 2.0f;
constexpr float kHalfTileReachY = 5.03f * kSize * 16.0f / 3.6f + 2.0f;

constexpr GlyphCell kCells[13] = {
    {30, 864},  {30, 1152},  {30, 1440},  {30, 1728}, {420, 0},  {420, 288}, {420, 576},
    {420, 864}, {420, 1152}, {420, 1440}, {30, 0},    {30, 288}, {30, 576},
};

}  // namespace

GlyphCell GlyphCellOf(std::int32_t glyph) {
    // The clock only makes digits; anything else shows as "0" rather than
    // reading outside the table.
    return glyph >= 0 && glyph < 13 ? kCells[glyph] : kCells[0];
}

void UpdateFlipState(double x) {
    for (const TileGroup& g : kGroups) {
        const bool same = g_currentDigits[g.tens] == g_upcomingDigits[g.tens] &&
                          g_currentDigits[g.units] == g_upcomingDigits[g.units];
        if (same) {
            g_tileFlipping[g.tens] = g_tileFlipping[g.units] = 0;
        } else if (g_tileFlipping[g.tens] == 0) {
            // A flip already under way is left alone.
            g_flipStartTime[g.tens] = g_flipStartTime[g.units] = x;
            g_tileFlipping[g.tens] = g_tileFlipping[g.units] = 1;
        }
    }
    for (int i = 0; i < 10; ++i) {
        if (g_tileFlipping[i] == 0) continue;
        // Like a falling body: 3000 t^2 degrees, resting at 180.
        const double d = (x - g_flipStartTime[i]) * 10.0;
        g_tileAngle[i] = static_cast<float>(d * d * 30.0);
        if (g_tileAngle[i] >= 180.0f) g_tileAngle[i] = 180.0f;
    }
}

void ResetFlipState() {
    for (int i = 0; i < 10; ++i) {
        g_tileFlipping[i] = 0;
        g_flipStartTime[i] = 0.0;
        g_tileAngle[i] = 0.0f;
    }
}

WorldRect TileBounds(std::uint32_t positions) {
    WorldRect bounds{0.0f, 0.0f, 0.0f, 0.0f};
    bool any = false;
    for (int p = 4; p <= 9; ++p) {
        if ((positions & (1u << p)) == 0) continue;
        const float left = kTileCentreX[p - 4] - kHalfTileReachX;
        const float right = kTileCentreX[p - 4] + kHalfTileReachX;
        bounds.left = any && bounds.left < left ? bounds.left : left;
        bounds.right = any && bounds.right > right ? bounds.right : right;
        any = true;
    }
    if (any) {
        bounds.bottom = kHinge - kHalfTileReachY;
        bounds.top = kHinge + kHalfTileReachY;
    }
    return bounds;
}

ClockView ClockViewOf(std::int32_t width, std::int32_t height) {
    ClockView view;
    view.width = width;
    view.height = height;
    if (width > 0 && 4 * static_cast<std::int64_t>(width) < 5 * static_cast<std::int64_t>(height)) {
        view.halfWidth = kNarrowHalfWidth;
        view.halfHeight = kNarrowHalfWidth / AspectRatioOf(width, height);
    } else {
        view.halfWidth = kWorldHalfHeight * AspectRatioOf(width, height);
        view.halfHeight = kWorldHalfHeight;
    }
    view.projection = Ortho(-view.halfWidth, view.halfWidth, -view.halfHeight, view.halfHeight,
                            -kDepthRange, kDepthRange);
    return view;
}

PixelRect TilePixels(std::uint32_t positions, const ClockView& view) {
    if (positions == 0) return PixelRect{};
    const WorldRect world = TileBounds(positions);
    const std::int32_t width = view.width;
    const std::int32_t height = view.height;
    const float halfWidth = view.halfWidth;
    const auto pixel = [](float units, float half, std::int32_t size) {
        return (units / half + 1.0f) * 0.5f * static_cast<float>(size);
    };
    const auto clamp = [](float value, std::int32_t size) {
        return value < 0.0f
                   ? 0
                   : (value > static_cast<float>(size) ? size : static_cast<std::int32_t>(value));
    };
    const std::int32_t left = clamp(std::floor(pixel(world.left, halfWidth, width)) - 1.0f, width);
    const std::int32_t right = clamp(std::ceil(pixel(world.right, halfWidth, width)) + 1.0f, width);
    const std::int32_t bottom =
        clamp(std::floor(pixel(world.bottom, view.halfHeight, height)) - 1.0f, height);
    const std::int32_t top =
        clamp(std::ceil(pixel(world.top, view.halfHeight, height)) + 1.0f, height);
    return PixelRect{left, bottom, right - left, top - bottom};
}

void DrawTileHalf(std::int32_t position, float half, std::int32_t glyph, float angle, float z,
                  float hinge, float sizeX, float sizeY) {
    const float centreX = position >= 4 && position <= 9 ? kTileCentreX[position - 4] : 0.0f;
    const Mat4 model = Translate(centreX, hinge, z) *
                       Scale(sizeX * 20.0f / 3.6f, sizeY * 16.0f / 3.6f, 1.0f) *
                       RotateXYZ(angle, 0.0f, 0.0f) * Translate(0.0f, 2.66f, 0.0f);
    const GlyphCell cell = GlyphCellOf(glyph);
    g_digitDrawable->SetModelMatrix(model);
    g_digitDrawable->SetTile(position, cell.top, cell.left, half, angle);
    g_digitDrawable->Draw();
}

namespace {

void DrawBacks(int p) {
    const std::int32_t shown = g_currentDigits[p];
    DrawTileHalf(p, 1.0f, shown, 0.0f, kBackDepth, kHinge, kSize, kSize);
    DrawTileHalf(p, -1.0f, shown, 180.0f, kBackDepth, kHinge, kSize, kSize);
    if (g_tileFlipping[p] != 1) return;
    DrawTileHalf(p, 1.0f, g_upcomingDigits[p], 0.0f, kComingDepth, kHinge, kSize, kSize);
}

void DrawFlap(int p) {
    if (g_tileFlipping[p] != 1) return;
    if (g_tileAngle[p] <= 90.0f) {
        // The flap's front: the shown glyph's upper half tilting forward.
        DrawTileHalf(p, 1.0f, g_currentDigits[p], g_tileAngle[p], kFlapDepth, kHinge, kSize, kSize);
    } else {
        // The flap's back: the coming glyph's lower half coming down.
        DrawTileHalf(p, -1.0f, g_upcomingDigits[p], g_tileAngle[p], kFlapDepth, kHinge, kSize,
                     kSize);
    }
}

}  // namespace

void DrawTiles(std::uint32_t positions) {
    for (int p = 4; p <= 9; ++p) {
        if ((positions & (1u << p)) == 0) continue;
        DrawBacks(p);
        DrawFlap(p);
    }
}

void DrawTileBacks(std::uint32_t positions) {
    for (int p = 4; p <= 9; ++p) {
        if ((positions & (1u << p)) != 0) DrawBacks(p);
    }
}

void DrawFlaps(std::uint32_t positions) {
    for (int p = 4; p <= 9; ++p) {
        if ((positions & (1u << p)) != 0) DrawFlap(p);
    }
}
