// The flip of the tiles: per position state, its update from the clock time,
// and the drawing of each tile as a stack of half-tile layers.
#pragma once

#include <cstdint>

#include "platform/PixelRect.h"
#include "render/Matrix.h"

extern std::uint8_t g_tileFlipping[10];  // 1 while the position flips
extern double g_flipStartTime[10];       // clock time at which its flip began
extern float g_tileAngle[10];            // flap angle, degrees, 0 to 180

// Starts and ends flips by comparing the current and upcoming digits, and
// turns the flaps of the flipping positions. x: this frame's clock time.
void UpdateFlipState(double x);

// Every position idle, as at start: no flip, start time and angle 0.
void ResetFlipState();

// Bits (1 << position) of positions 4 to 9.
constexpr std::uint32_t kShownPositions = 0x3F0;

// The tile pass: draws the positions among 4 to 9 whose bits are set (all
// six by default), in ascending order; the glyph atlas must be bound on
// unit 0. A frame draws only the positions its picture needs.
void DrawTiles(std::uint32_t positions = kShownPositions);

// The two parts of DrawTiles: the layers behind the flap (the shown glyph's
// halves and, while the position flips, the coming glyph's upper half), and
// the flap of each position that flips. All backs then all flaps give
// DrawTiles' pixels: groups lie apart, and a flap covers only samples its
// own tile's backs cover, where the other tile of its group fails the depth
// test whether it is drawn before the flap or after.
void DrawTileBacks(std::uint32_t positions);
void DrawFlaps(std::uint32_t positions);

// Half the window's height in world units where it is 5:4 or wider: it is
// 1000 units high, the origin at its centre.
constexpr float kWorldHalfHeight = 500.0f;

// Half the window's width in world units where it is 5:4 or narrower: the
// widest framing that keeps every digit whole (the outermost tiles lose
// only the edges of their faces).
constexpr float kNarrowHalfWidth = 625.0f;

// How a window of width x height pixels sees the world, the origin at its
// centre: 1000 units high and the aspect ratio times as many across where
// it is 5:4 or wider; narrower, 1250 units across and higher as it
// narrows, so the whole clock stays on it and nothing jumps at 5:4. The one
// rule for everything that turns world units into the window's pixels.
struct ClockView {
    std::int32_t width = 0;
    std::int32_t height = 0;
    float halfWidth = 0.0f;               // world units from the centre to either side
    float halfHeight = kWorldHalfHeight;  // and to the top and bottom
    Mat4 projection;                      // the orthographic projection onto the window
};
ClockView ClockViewOf(std::int32_t width, std::int32_t height);

// A rectangle in world units.
struct WorldRect {
    float left;
    float bottom;
    float right;
    float top;
};

// A rectangle that holds every half-tile of the given positions among 4 to
// 9, at any angle of its flap.
WorldRect TileBounds(std::uint32_t positions);

// The pixels of the window of view that the given positions' tiles can
// touch, at any angle of their flaps, one pixel more each way; empty for
// none.
PixelRect TilePixels(std::uint32_t positions, const ClockView& view);

// One half-tile: position, half (+1 upper, -1 lower), glyph, angle in
// degrees, depth, hinge height, horizontal and vertical size factors.
void DrawTileHalf(std::int32_t position, float half, std::int32_t glyph, float angle, float z,
                  float hinge, float sizeX, float sizeY);

// The glyph cell of a glyph code in the atlas, pixels from its left and top.
struct GlyphCell {
    float left;
    float top;
};
GlyphCell GlyphCellOf(std::int32_t glyph);
