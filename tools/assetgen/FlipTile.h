// One flip tile as the small pictures show it: a rounded face, a light hinge
// line across its middle and a light digit, drawn at any size.
#pragma once

#include "Canvas.h"
#include "FontFace.h"

struct TileLook {
    Rgba face;
    Rgba hinge;
    Rgba digit;
    float cornerRadius;   // pixels
    float hingeWidth;     // pixels
    float digitHeight;    // ink height as a share of the tile's height
    float digitWidth;     // horizontal narrowing of the glyphs
    bool hingeOverDigit;  // the clock's look; icons keep the digit whole instead
};

// Which corners are round: a pair of tiles is rounded on its outer side only.
enum class RoundSide { Left, Right, Both };

void DrawFlipTile(Canvas& canvas, const FontFace& font, const Rect& tile, RoundSide round,
                  char glyph, const TileLook& look);

// Puts a glyph's coverage onto the canvas with its ink centred on (cx, cy).
void DrawGlyphCentred(Canvas& canvas, const GlyphBitmap& glyph, float cx, float cy, Rgba colour);
