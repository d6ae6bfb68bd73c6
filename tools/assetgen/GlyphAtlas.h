// The glyph atlas: 2048 x 2048, the digits and "A", "M", "P" in two columns
// of 200 x 288 cells, and at the top right a dark panel with three tile faces.
#pragma once

#include "Canvas.h"
#include "FontFace.h"

Canvas MakeGlyphAtlas(const FontFace& font);

// Shared with the small pictures so that every digit has the same design.
inline constexpr float kDigitHeightPerCell = 220.0f / 288.0f;  // ink height / cell height
inline constexpr float kDigitWidthFactor = 0.88f;              // a little narrow, like flap digits
inline constexpr float kGlyphGrey = 180.0f;
